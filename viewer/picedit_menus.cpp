#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRubberBand>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "viewer/picedit.h"
#include "viewer/settings.h"

namespace pm32::viewer {
namespace {

// The commands that need an image.
const char* const kNeedImage[] = {
    "menuClose",     "menusave",     "MenuSvAs",      "menucopy",       "MenuSharpen",
    "MenuSharpMore", "mnuBlur",      "MenuSoften",    "MenuSoftenMore", "MenuVGAProp",
    "MenuVGA",       "MenuSVGAProp", "MenuSVGA",      "Menu8514Prop",   "Menu8514",
    "menu90L",       "menu90r",      "menu180",       "menuhorz",       "menuvert",
    "mnuBW",         "menuco16",     "mnuGrayScale",  "menuco25",       "mnuTrueColor",
    "mnuExtract",    "mnuNegate",    "Image2_0",      "zoomIn",         "zoomOut",
    "zoomActual",    "zoomFit",      "panLeft",       "panRight",       "panUp",
    "panDown",       "nextImage",    "previousImage", "MenuPrint",      "MenuTune",
    "MenuBrit",      "MenuResz",     "mnuInfo"};

// Filters refuse 1-bit images.
const char* const kFilters[] = {"MenuSharpen", "MenuSharpMore",  "mnuBlur",
                                "MenuSoften",  "MenuSoftenMore", "mnuExtract"};

}  // namespace

QAction* PicEdit::addAction(QMenu* menu, const char* name, const QString& caption) {
    QAction* created = menu->addAction(caption);
    created->setObjectName(name);
    actions_[name] = created;
    return created;
}

QAction* PicEdit::action(const char* name) const { return actions_.at(name); }

void PicEdit::buildMenus() {
    auto menu = [this](QMenu* parent, const char* name, const QString& caption) {
        QMenu* created = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
        created->setObjectName(name);
        created->menuAction()->setObjectName(QString(name) + "Item");
        return created;
    };
    auto separator = [](QMenu* parent, const char* name) {
        parent->addSeparator()->setObjectName(name);
    };

    QMenu* file = menu(nullptr, "filemenu", "&File");
    addAction(file, "MenuLoad", "&Open")->setShortcut(QKeySequence::Open);
    connect(action("MenuLoad"), &QAction::triggered, this, &PicEdit::open);
    addAction(file, "menuClose", "&Close")->setShortcut(QKeySequence::Close);
    connect(action("menuClose"), &QAction::triggered, this, &PicEdit::closeImage);
    addAction(file, "menusave", "&Save")->setShortcut(QKeySequence::Save);
    connect(action("menusave"), &QAction::triggered, this, &PicEdit::save);
    addAction(file, "MenuSvAs", "Save &As")->setShortcut(QKeySequence::SaveAs);
    connect(action("MenuSvAs"), &QAction::triggered, this, &PicEdit::saveAs);
    addAction(file, "mnuBatch", "Batch File Conversion");
    connect(action("mnuBatch"), &QAction::triggered, this, &PicEdit::convertFiles);
    addAction(file, "mnuPref", "Preferences");
    connect(action("mnuPref"), &QAction::triggered, this, &PicEdit::showPreferences);
    separator(file, "menudash0");
    addAction(file, "MenuPrint", "Print...")->setShortcut(QKeySequence::Print);
    connect(action("MenuPrint"), &QAction::triggered, this, &PicEdit::print);
    separator(file, "MenuDash1");
    addAction(file, "MenuExit", "&Exit")->setShortcut(QKeySequence::Quit);
    connect(action("MenuExit"), &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menu(nullptr, "EditMenu", "&Edit");
    addAction(edit, "MnuUndo", "Undo")->setShortcut(QKeySequence::Undo);
    connect(action("MnuUndo"), &QAction::triggered, this, &PicEdit::undo);
    addAction(edit, "MnuUndoEnable", "Undo Enabled")->setCheckable(true);
    connect(action("MnuUndoEnable"), &QAction::triggered, this, &PicEdit::toggleUndoEnabled);
    addAction(edit, "menucopy", "Copy")->setShortcut(QKeySequence::Copy);
    connect(action("menucopy"), &QAction::triggered, this, &PicEdit::copy);
    addAction(edit, "menupast", "Paste")->setShortcut(QKeySequence::Paste);
    connect(action("menupast"), &QAction::triggered, this, &PicEdit::paste);

    QMenu* image = menu(nullptr, "mnuImage", "&Image");
    addAction(image, "MenuTune", "&Tune...");
    addAction(image, "MenuBrit", "Brightness/Contrast/Gamma");
    connect(action("MenuTune"), &QAction::triggered, this, &PicEdit::showTune);
    connect(action("MenuBrit"), &QAction::triggered, this, &PicEdit::showTune);
    addAction(image, "MenuSharpen", "Sharpen");
    addAction(image, "MenuSharpMore", "Sharpen More");
    addAction(image, "mnuBlur", "Blur");
    addAction(image, "MenuSoften", "Soften");
    addAction(image, "MenuSoftenMore", "Soften More");
    QMenu* resize = menu(image, "MenuReszmnu", "Resi&Ze...");
    addAction(resize, "MenuResz", "Resize");
    connect(action("MenuResz"), &QAction::triggered, this, &PicEdit::showResize);
    addAction(resize, "MenuVGAProp", "Resize to 640x480 Proportional");
    addAction(resize, "MenuVGA", "Resize to 640x480 Stretch");
    addAction(resize, "MenuSVGAProp", "Resize to 800x600 Proportional");
    addAction(resize, "MenuSVGA", "Resize to 800x600 Stretch");
    addAction(resize, "Menu8514Prop", "Resize to 1024x768 Proportional");
    addAction(resize, "Menu8514", "Resize to 1024x768 Stretch");
    QMenu* rotate = menu(image, "MenuRota", "&Rotate");
    addAction(rotate, "menu90L", "90 Degrees &Left");
    addAction(rotate, "menu90r", "90 Degrees &Right");
    addAction(rotate, "menu180", "180 &Degrees");
    QMenu* mirror = menu(image, "menuMirror", "Mirror");
    addAction(mirror, "menuhorz", "Horizontal");
    addAction(mirror, "menuvert", "Vertical");
    QMenu* convert = menu(image, "menuConvert", "Convert to");
    addAction(convert, "mnuBW", "Black and White");
    addAction(convert, "menuco16", "16 Colors");
    addAction(convert, "mnuGrayScale", "GrayScale");
    addAction(convert, "menuco25", "256 Colors");
    addAction(convert, "mnuTrueColor", "RGB True Color");
    addAction(image, "mnuExtract", "Extract Edges");
    addAction(image, "mnuNegate", "Negate");
    addAction(image, "mnuInfo", "Image Information");
    connect(action("mnuInfo"), &QAction::triggered, this, &PicEdit::showInformation);
    connectImageCommands();

    QMenu* help = menu(nullptr, "menuhelp", "&Help");
    addAction(help, "mnuHlpContents", "&Vistel/32 Topics")->setShortcut(QKeySequence::HelpContents);
    connect(action("mnuHlpContents"), &QAction::triggered, this, &PicEdit::showHelp);
    separator(help, "mnuHlpSeparator");
    addAction(help, "menuhlpa", "&About Vistel/32");
    connect(action("menuhlpa"), &QAction::triggered, this, &PicEdit::showAbout);
}

void PicEdit::buildToolBar() {
    QToolBar* bar = addToolBar(tr("Tools"));
    bar->setObjectName("Picture1");
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    auto button = [&](const char* name, const QString& text, const QIcon& icon,
                      const QString& tip) {
        QAction* created = bar->addAction(icon, text);
        created->setObjectName(name);
        created->setToolTip(tip);
        actions_[name] = created;
        return created;
    };
    connect(button("Image2_0", tr("Save"), style()->standardIcon(QStyle::SP_DialogSaveButton),
                   "Save Changes"),
            &QAction::triggered, this, &PicEdit::save);
    connect(button("Image2_1", tr("Open"), style()->standardIcon(QStyle::SP_DialogOpenButton),
                   "Open File"),
            &QAction::triggered, this, &PicEdit::open);
    bar->addSeparator();

    tools_ = new QActionGroup(this);
    const struct {
        const char* name;
        QString text;
        const char* icon;
        const char* tip;
        Tool tool;
    } toolButtons[] = {{"Image1_0", tr("Zoom"), "zoom-in", "Zoom Tool", Tool::Zoom},
                       {"Image1_1", tr("Crop"), "transform-crop", "Cropping Tool", Tool::Crop},
                       {"Image1_2", tr("Pointer"), "edit-select", "Pointer", Tool::Pointer}};
    for (const auto& entry : toolButtons) {
        QAction* created = button(entry.name, entry.text, QIcon::fromTheme(entry.icon), entry.tip);
        created->setCheckable(true);
        tools_->addAction(created);
        const Tool tool = entry.tool;
        connect(created, &QAction::triggered, this, [this, tool] { chooseTool(tool); });
    }
    action("Image1_0")->setStatusTip("Alt = zoom out.");
    bar->addSeparator();
    zoomLabel_ = new QLabel("1:1", bar);
    zoomLabel_->setObjectName("Label1");
    zoomLabel_->setMinimumWidth(60);
    zoomLabel_->setAlignment(Qt::AlignCenter);
    bar->addWidget(zoomLabel_);
}

QWidget* PicEdit::buildCropStrip() {
    auto* strip = new QWidget(this);
    strip->setObjectName("Picture2");
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(6, 3, 6, 3);
    const struct {
        const char* caption;
        const char* tip;
    } fields[] = {{"Left", "Crop Left, in pixels"},
                  {"Top", "Crop Top, in pixels"},
                  {"Width", "Crop Width, in pixels"},
                  {"Height", "Crop Height, in pixels"}};
    for (int i = 0; i < 4; ++i) {
        auto* caption = new QLabel(tr(fields[i].caption), strip);
        caption->setObjectName(QString("Label2_%1").arg(i));
        auto* field = new QLineEdit(strip);
        field->setObjectName(QString("Text1_%1").arg(i));
        field->setToolTip(fields[i].tip);
        field->setValidator(new QIntValidator(0, 32767, field));
        field->setMaximumWidth(70);
        caption->setBuddy(field);
        connect(field, &QLineEdit::returnPressed, this, &PicEdit::applyCrop);
        row->addWidget(caption);
        row->addWidget(field);
        cropFields_[static_cast<std::size_t>(i)] = field;
    }
    auto* apply = new QPushButton(tr("Apply"), strip);
    apply->setObjectName("cropApply");
    connect(apply, &QPushButton::clicked, this, &PicEdit::applyCrop);
    row->addWidget(apply);
    row->addStretch(1);
    return strip;
}

void PicEdit::addViewKeys() {
    const struct {
        const char* name;
        QList<QKeySequence> keys;
        void (PicEdit::*slot)();
    } keys[] = {
        {"zoomIn", {Qt::Key_Plus, Qt::Key_Equal, QKeySequence::ZoomIn}, &PicEdit::zoomIn},
        {"zoomOut", {Qt::Key_Minus, QKeySequence::ZoomOut}, &PicEdit::zoomOut},
        {"zoomActual", {Qt::Key_0}, &PicEdit::zoomActualSize},
        {"zoomFit", {Qt::Key_F}, &PicEdit::zoomToFit},
        {"nextImage", {Qt::Key_PageDown}, &PicEdit::nextImage},
        {"previousImage", {Qt::Key_PageUp}, &PicEdit::previousImage},
    };
    for (const auto& key : keys) {
        auto* created = new QAction(this);
        created->setObjectName(key.name);
        created->setShortcuts(key.keys);
        QMainWindow::addAction(created);
        actions_[key.name] = created;
        connect(created, &QAction::triggered, this, key.slot);
    }
    const struct {
        const char* name;
        Qt::Key key;
        int dx;
        int dy;
    } pans[] = {{"panLeft", Qt::Key_Left, -1, 0},
                {"panRight", Qt::Key_Right, 1, 0},
                {"panUp", Qt::Key_Up, 0, -1},
                {"panDown", Qt::Key_Down, 0, 1}};
    for (const auto& pan : pans) {
        auto* created = new QAction(this);
        created->setObjectName(pan.name);
        created->setShortcut(pan.key);
        QMainWindow::addAction(created);
        actions_[pan.name] = created;
        const int dx = pan.dx;
        const int dy = pan.dy;
        // One key press moves a tenth of the view.
        connect(created, &QAction::triggered, this, [this, dx, dy] {
            const QSize client = host_->ClientSize();
            panBy(dx * std::max(1, client.width() / 10), dy * std::max(1, client.height() / 10));
        });
    }
}

void PicEdit::chooseTool(Tool tool) {
    tool_ = tool;
    band_->hide();
    pressedAt_.reset();
    const char* names[] = {"Pointer", "Zoom", "Crop"};
    const char* buttons[] = {"Image1_2", "Image1_0", "Image1_1"};
    const auto index = static_cast<std::size_t>(tool);
    action(buttons[index])->setChecked(true);
    settings_.setText("ActiveTool", names[index]);
    cropStrip_->setVisible(tool == Tool::Crop);
    host_->clientArea()->setToolTip(
        tool == Tool::Zoom ? "Click to zoom. Click/drag zooms area.  Alt shrinks." : QString());
    if (tool == Tool::Zoom)
        statusBar()->showMessage("Alt = zoom out.");
    else
        statusBar()->clearMessage();
    // The cross for the tools that point at pixels, the arrow otherwise.
    shown_->put("MousePointer", Short(tool == Tool::Pointer ? 1 : 2));
}

void PicEdit::updateActions() {
    const bool image = shown_->hasImage();
    for (const char* name : kNeedImage) action(name)->setEnabled(image);
    const int depth = image ? shown_->getInt("ColorDepth") : 0;
    for (const char* name : kFilters) action(name)->setEnabled(image && depth > 1);
    action("mnuBW")->setEnabled(image && depth > 1);
    action("menuco16")->setEnabled(image && depth != 4);
    action("menuco25")->setEnabled(image && depth != 8);
    action("mnuTrueColor")->setEnabled(image && depth != 24);
    action("MnuUndo")->setText(undo_.caption());
    action("MnuUndo")->setEnabled(undo_.available());
    action("MnuUndoEnable")->setChecked(settings_.enableUndo());
    cropStrip_->setEnabled(image);
    updateTitle();
    updateStatus();
}

}  // namespace pm32::viewer
