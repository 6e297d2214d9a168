#include <QAction>
#include <QLineEdit>
#include <QRubberBand>
#include <QStatusBar>
#include <cmath>

#include "platform/message_box.h"
#include "viewer/image_steps.h"
#include "viewer/picedit.h"
#include "viewer/settings.h"

namespace pm32::viewer {
namespace {

// The levels the filter commands pass (1 mild .. 10 strongest).
constexpr int kSharpen = 3;
constexpr int kSharpenMore = 8;
constexpr int kSoften = 3;
constexpr int kSoftenMore = 8;
constexpr int kEdges = 1;

constexpr int kReplace = 0;

Variant Flag(bool on) { return Variant::Bool(on); }

}  // namespace

void PicEdit::connectImageCommands() {
    struct Command {
        const char* name;
        const char* undoCaption;
        std::function<void()> run;
    };
    Picbuf& c = *shown_;
    const Command commands[] = {
        {"MenuSharpen", "Undo Sharpen", [&c] { c.call("Sharpen", {Short(kSharpen)}); }},
        {"MenuSharpMore", "Undo Sharpen More", [&c] { c.call("Sharpen", {Short(kSharpenMore)}); }},
        {"mnuBlur", "Undo Blur", [&c] { c.call("Blur"); }},
        {"MenuSoften", "Undo Soften", [&c] { c.call("Soften", {Short(kSoften)}); }},
        {"MenuSoftenMore", "Undo Soften More", [&c] { c.call("Soften", {Short(kSoftenMore)}); }},
        {"mnuExtract", "Undo Edge", [&c] { c.call("ExtractEdges", {Short(kEdges)}); }},
        {"mnuNegate", "Undo Negate", [&c] { c.call("Negate"); }},
        {"menu90L", "Undo Rotation",
         [&c] {
             c.call("Rotate", {Short(-90), Long(0)});
         }},
        {"menu90r", "Undo Rotation",
         [&c] {
             c.call("Rotate", {Short(90), Long(0)});
         }},
        {"menu180", "Undo Rotation",
         [&c] {
             c.call("Rotate", {Short(180), Long(0)});
         }},
        {"menuhorz", "Undo Mirror",
         [&c] {
             c.call("Mirror", {Short(1), Short(0)});
         }},
        {"menuvert", "Undo Mirror",
         [&c] {
             c.call("Mirror", {Short(0), Short(1)});
         }},
        {"mnuBW", "Undo Convert To", [this] { convertTo(1, 2); }},
        {"menuco16", "Undo Convert To", [this] { convertTo(4, 16); }},
        {"mnuGrayScale", "Undo Convert To", [&c] { c.call("GrayScale"); }},
        {"menuco25", "Undo Convert To", [this] { convertTo(8, 256); }},
        {"mnuTrueColor", "Undo Convert To", [&c] { c.call("IncreaseColors", {Short(24)}); }},
        {"MenuVGAProp", "Undo Resize",
         [this] {
             resizeWithin({640, 480});
         }},
        {"MenuVGA", "Undo Resize",
         [this] {
             resizeTo({640, 480});
         }},
        {"MenuSVGAProp", "Undo Resize",
         [this] {
             resizeWithin({800, 600});
         }},
        {"MenuSVGA", "Undo Resize",
         [this] {
             resizeTo({800, 600});
         }},
        {"Menu8514Prop", "Undo Resize",
         [this] {
             resizeWithin({1024, 768});
         }},
        {"Menu8514", "Undo Resize",
         [this] {
             resizeTo({1024, 768});
         }},
    };
    for (const Command& command : commands) {
        const QString caption = command.undoCaption;
        const std::function<void()> run = command.run;
        connect(action(command.name), &QAction::triggered, this,
                [this, caption, run] { runCommand(caption, run); });
    }
}

void PicEdit::runCommand(const QString& undoCaption, const std::function<void()>& operation) {
    if (!shown_->hasImage()) return;
    const bool keepUndo = settings_.enableUndo();
    const bool staged = keepUndo && undo_.stage(*shown_);
    if (keepUndo && !staged &&
        platform::MessageBox(
            "Unable to create undo image.  There may not be enough disk space available to write "
            "a temporary file. This action will not be undoable.  Proceed?",
            ProgramName().toStdString(),
            platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::BoxAnswer::Yes)
        return;
    try {
        operation();
    } catch (const automation::AutomationError& error) {
        undo_.discardStaged();
        showFailure(FailureOfOperation(ErrorNumberOf(error)), path_, ErrorNumberOf(error));
        updateActions();
        return;
    }
    if (staged)
        undo_.commit(undoCaption);
    else
        undo_.clear();  // an older undo image no longer leads back one step
    modified_ = true;
    band_->hide();
    updateActions();
}

void PicEdit::throughWorkingBuffer(const std::function<void()>& steps) {
    const Variant shownObject = Variant::Object(shown_->object());
    const Variant workObject = Variant::Object(working_->object());
    try {
        working_->put("AssignMode", Short(kReplace));
        working_->call("Assign", {Flag(false), shownObject, Flag(false)});
        steps();
        shown_->call("Assign", {Flag(false), workObject, Flag(false)});
    } catch (const automation::AutomationError&) {
        working_->call("Clear");
        throw;
    }
    working_->call("Clear");
}

void PicEdit::convertTo(int depth, int colors) {
    throughWorkingBuffer([this, depth, colors] {
        const int current = working_->getInt("ColorDepth");
        if (current < depth) {
            working_->call("IncreaseColors", {Short(depth)});
            return;
        }
        // Reduction starts from true colour so every source depth gives the
        // same optimised, dithered result.
        if (current < 24) working_->call("IncreaseColors", {Short(24)});
        const bool optimise = colors > 2;
        working_->call("ReduceColors",
                       {Short(colors), Short(optimise ? 1 : 0), Short(1), Short(0)});
    });
}

void PicEdit::resizeTo(QSize size) {
    throughWorkingBuffer([this, size] { StretchInto(*working_, *shown_, size); });
}

void PicEdit::resizeWithin(QSize bounds) {
    const QSize image = imageSize();
    const double scale = std::min(static_cast<double>(bounds.width()) / image.width(),
                                  static_cast<double>(bounds.height()) / image.height());
    resizeTo({std::max(1, static_cast<int>(std::lround(image.width() * scale))),
              std::max(1, static_cast<int>(std::lround(image.height() * scale)))});
}

void PicEdit::applyCrop() {
    if (!shown_->hasImage()) return;
    std::array<int, 4> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        bool ok = false;
        values[i] = cropFields_[i]->text().toInt(&ok);
        if (!ok) {
            statusBar()->showMessage(tr("Fill in all four crop fields."), 4000);
            return;
        }
    }
    const QRect wanted(values[0], values[1], values[2], values[3]);
    const QRect area = wanted.intersected(QRect(QPoint(0, 0), imageSize()));
    if (area.isEmpty()) {
        statusBar()->showMessage(tr("The crop area lies outside the image."), 4000);
        return;
    }
    runCommand("Undo Crop", [this, area] {
        shown_->put("SelectLeft", Short(area.left()));
        shown_->put("SelectTop", Short(area.top()));
        shown_->put("SelectWidth", Short(area.width()));
        shown_->put("SelectHeight", Short(area.height()));
        const Variant shownObject = Variant::Object(shown_->object());
        try {
            working_->put("AssignMode", Short(kReplace));
            working_->call("Assign", {Flag(false), shownObject, Flag(true)});
            shown_->call("Assign", {Flag(false), Variant::Object(working_->object()), Flag(false)});
        } catch (const automation::AutomationError&) {
            working_->call("Clear");
            shown_->put("SelectWidth", Short(0));
            shown_->put("SelectHeight", Short(0));
            throw;
        }
        working_->call("Clear");
        shown_->put("SelectWidth", Short(0));
        shown_->put("SelectHeight", Short(0));
    });
    for (QLineEdit* field : cropFields_) field->clear();
}

}  // namespace pm32::viewer
