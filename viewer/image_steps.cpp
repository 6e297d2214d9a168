#include "viewer/image_steps.h"

#include "viewer/image_files.h"

namespace pm32::viewer {
namespace {

constexpr int kReplace = 0;
// Every stretch resamples true-colour images.
constexpr int kResampleVariable = 3;
constexpr int kResizeMode = 3;
constexpr int kGifFormat = 4;

}  // namespace

void CopyImage(Picbuf& target, Picbuf& source) {
    target.put("AssignMode", Short(kReplace));
    target.call("Assign",
                {Variant::Bool(false), Variant::Object(source.object()), Variant::Bool(false)});
}

void StretchInto(Picbuf& target, Picbuf& source, QSize size) {
    const int depth = source.getInt("ColorDepth");
    // The target gets a blank image of the new size, and the source is
    // stretched onto it.
    target.call("Clear");
    target.call("Init", {Short(depth), Short(size.width()), Short(size.height()), Long(0)});
    target.put("AssignMode", Short(kResampleVariable));
    target.put("ResizeMode", Short(kResizeMode));
    target.put("Xorigin", Short(0));
    target.put("Yorigin", Short(0));
    try {
        target.call("Assign",
                    {Variant::Bool(false), Variant::Object(source.object()), Variant::Bool(false)});
    } catch (const automation::AutomationError&) {
        target.put("AssignMode", Short(kReplace));
        throw;
    }
    target.put("AssignMode", Short(kReplace));
}

bool NeedsReductionFor(Picbuf& control, const SaveOptions& options) {
    return FormatCodeOf(options) == kGifFormat && control.getInt("ColorDepth") > 8;
}

std::uint32_t StoreWithOptions(Picbuf& control, const QString& path, const SaveOptions& options) {
    if (NeedsReductionFor(control, options)) {
        try {
            control.call("ReduceColors", {Short(256), Short(1), Short(1), Short(0)});
        } catch (const automation::AutomationError& error) {
            return ErrorNumberOf(error);
        }
    }
    return StoreImageAs(control, path, FormatCodeOf(options), ImageCompressionOf(options),
                        WriteOptionOf(options));
}

}  // namespace pm32::viewer
