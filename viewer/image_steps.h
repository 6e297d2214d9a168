#pragma once

#include <QSize>
#include <QString>
#include <cstdint>

#include "viewer/picbuf.h"
#include "viewer/save_options.h"

namespace pm32::viewer {

// Steps on controls shared by the main window and its dialogs. Those that
// return nothing raise the control's automation error.

// The target gets its own copy of the source's image.
void CopyImage(Picbuf& target, Picbuf& source);

// The target gets the source's image stretched to the size, resampled.
void StretchInto(Picbuf& target, Picbuf& source, QSize size);

// Stores the control's image with the options; 0 or the control's error
// number. GIF holds at most 256 colours, so a deeper image is first reduced
// in this control: pass a control whose image may change.
std::uint32_t StoreWithOptions(Picbuf& control, const QString& path, const SaveOptions& options);

// Whether storing to GIF would change the control's image.
bool NeedsReductionFor(Picbuf& control, const SaveOptions& options);

}  // namespace pm32::viewer
