#pragma once

#include <memory>

#include "platform/automation/dispatch.h"
#include "tests/control/test_site.h"
#include "tests/support/test_dibs.h"

namespace pm32::test {

using automation::VarType;

// Hands the control a DIB it then owns.
void GiveImage(PlacedControl& p, OwnedDib image);

// The control's image block, read in place.
HGLOBAL ImageOf(PlacedControl& p);

// An object that is not a Picbuf: it answers every property with the value given.
class ForeignObject : public automation::Dispatch {
  public:
    explicit ForeignObject(Variant answer) : answer_(std::move(answer)) {}
    std::optional<DispId> GetIdOfName(std::string_view) const override { return std::nullopt; }
    Variant Invoke(DispId, automation::InvokeKind, std::span<Variant>) override { return answer_; }
    const automation::TypeInfo& GetTypeInfo() const override { return info_; }

  private:
    Variant answer_;
    automation::TypeInfo info_;
};

// A by-reference array of longs or shorts for the array arguments.
automation::ArrayPtr IntegerArray(VarType type, std::vector<std::int32_t> values);

}  // namespace pm32::test
