#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

#include "viewer/picbuf.h"

namespace pm32::viewer {

// One level of undo in a lossless file in the temporary folder. A command
// first stages the image it is about to change; only when the command
// succeeds does the staged image become the undo image, so a failed command
// leaves the earlier undo image as it was.
class UndoStore {
  public:
    // The folder named by "temp", else TMPDIR, else /tmp. The file is
    // "~vs0000.tmp"; a viewer that finds it held by another running viewer
    // takes the next free number.
    UndoStore();
    explicit UndoStore(const QString& folder);
    ~UndoStore();
    UndoStore(const UndoStore&) = delete;
    UndoStore& operator=(const UndoStore&) = delete;

    static QString DefaultFolder();

    QString path() const { return path_; }
    bool available() const { return available_; }
    // "Undo", or "Undo " and the last command's name.
    QString caption() const { return caption_; }

    // Writes the shown image to the staging file; false when it cannot.
    bool stage(Picbuf& shown);
    // The staged image becomes the undo image, named by the caption.
    void commit(const QString& undoCaption);
    void discardStaged();
    // No undo image any more.
    void clear();

    // Loads the undo image into the control; false (the control unchanged)
    // when the file is gone or does not load. Either way undo is used up.
    bool restore(Picbuf& shown);

  private:
    QString stagingPath() const { return path_ + ".new"; }

    std::unique_ptr<QLockFile> lock_;
    QString path_;
    QString caption_ = "Undo";
    bool available_ = false;
};

}  // namespace pm32::viewer
