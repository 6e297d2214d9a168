#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "viewer/failure_messages.h"
#include "viewer/picbuf.h"
#include "viewer/save_options.h"
#include "viewer/undo_store.h"
#include "viewer/zoom.h"

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QRubberBand;
class QWidget;

namespace pm32::platform {
class WidgetWindowHost;
}

namespace pm32::viewer {

class ViewerSettings;

// The viewer's main window: one shown Picbuf control, a hidden working
// buffer, the tool bar with the Zoom, Crop and Pointer tools, the crop strip
// and the menus. Every image operation is a call on a control by name.
class PicEdit : public QMainWindow {
    Q_OBJECT

  public:
    enum class Tool { Pointer, Zoom, Crop };

    // The settings must outlive the window.
    explicit PicEdit(ViewerSettings& settings, QWidget* parent = nullptr);
    ~PicEdit() override;

    Picbuf& shown() { return *shown_; }
    platform::WidgetWindowHost& host() { return *host_; }
    QString currentPath() const { return path_; }
    bool isImageModified() const { return modified_; }
    const UndoStore& undoStore() const { return undo_; }
    Tool activeTool() const { return tool_; }
    ZoomRatio zoom();

    // The program's name, the caption of every message box.
    static QString ProgramName() { return "Vistel/32"; }

  public slots:
    // Opens the file as Open does, asking to save a modified image first;
    // false when the image did not change.
    bool openFile(const QString& path);
    // A file another start of the viewer handed over: the window comes to the
    // front and opens it.
    void openHandedOver(const QString& path);
    void open();
    void closeImage();
    bool save();
    bool saveAs();
    // Stores the image into the file, with the saved quality and
    // progressive choice, and makes it the current one.
    bool saveTo(const QString& path);
    void convertFiles();
    void print();
    void showResize();
    void showTune();
    void showInformation();
    void showPreferences();
    void undo();
    void toggleUndoEnabled();
    void copy();
    void paste();
    void showHelp();
    void showAbout();
    void chooseTool(Tool tool);
    void applyCrop();
    void zoomIn();
    void zoomOut();
    void zoomActualSize();
    void zoomToFit();
    void nextImage();
    void previousImage();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    void buildToolBar();
    QWidget* buildCropStrip();
    void addViewKeys();
    void connectImageCommands();
    QAction* addAction(QMenu* menu, const char* name, const QString& caption);
    QAction* action(const char* name) const;

    void updateActions();
    void updateTitle();
    void updateStatus();

    // Asks whether to save a modified image; false when the user cancels
    // (or the save fails) and the caller must stop.
    bool maybeSave();
    void showFailure(Failure failure, const QString& name, std::uint32_t number = 0);
    // Runs an image command with undo: the image is staged first, the Undo
    // caption follows a successful command.
    void runCommand(const QString& undoCaption, const std::function<void()>& operation);
    // Copies the shown image into the working buffer, runs the steps there
    // and brings the result back only when all of them succeed.
    void throughWorkingBuffer(const std::function<void()>& steps);
    void convertTo(int depth, int colors);
    void resizeTo(QSize size);
    void resizeWithin(QSize bounds);
    void showFresh(const QString& path);
    bool saveWith(const QString& path, const SaveOptions& options);
    // The options of the saved settings, for the file's extension.
    SaveOptions savedOptionsFor(const QString& path) const;
    // Empties the shown control and forgets its file.
    void dropImage();

    void onControlEvent(std::string_view name, std::span<Variant> args);
    void mouseDown(int shift, QPoint at);
    void mouseMove(QPoint at);
    void mouseUp(int shift, QPoint at);
    void setZoom(ZoomRatio ratio, QPoint client, QPoint image);
    void zoomAbout(QPoint client, bool in);
    void zoomToArea(QRect clientRect);
    void applyInitialZoom();
    void panBy(int dx, int dy);
    // Puts the image pixel at the client point, as far as the view allows.
    void moveView(QPoint image, QPoint client);
    QPoint imagePointAt(QPoint client);
    QSize imageSize();

    ViewerSettings& settings_;
    QPointer<platform::WidgetWindowHost> host_;
    std::unique_ptr<Picbuf> shown_;
    std::unique_ptr<Picbuf> working_;
    UndoStore undo_;
    QString path_;
    bool modified_ = false;
    Tool tool_ = Tool::Zoom;
    std::map<QString, QAction*> actions_;
    QActionGroup* tools_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
    QLabel* statusInfo_ = nullptr;
    QWidget* cropStrip_ = nullptr;
    std::array<QLineEdit*, 4> cropFields_{};
    QRubberBand* band_ = nullptr;
    // Where the left button went down on the control, while it is held.
    std::optional<QPoint> pressedAt_;
};

}  // namespace pm32::viewer
