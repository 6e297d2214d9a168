#include "viewer/undo_store.h"

#include <QDir>
#include <QFile>

#include "viewer/image_files.h"

namespace pm32::viewer {
namespace {

constexpr int kLargestNumber = 9999;

}  // namespace

UndoStore::UndoStore() : UndoStore(DefaultFolder()) {}

UndoStore::UndoStore(const QString& folder) {
    const QDir dir(folder);
    for (int number = 0; number <= kLargestNumber; ++number) {
        const QString candidate = dir.filePath(QString("~vs%1.tmp").arg(number, 4, 10, QChar('0')));
        auto lock = std::make_unique<QLockFile>(candidate + ".lock");
        lock->setStaleLockTime(0);
        if (lock->tryLock()) {
            lock_ = std::move(lock);
            path_ = candidate;
            return;
        }
    }
    // Every number is taken or the folder cannot hold locks; the first name
    // still works for a viewer that runs alone.
    path_ = dir.filePath("~vs0000.tmp");
}

UndoStore::~UndoStore() {
    QFile::remove(stagingPath());
    if (lock_) QFile::remove(path_);
}

QString UndoStore::DefaultFolder() {
    for (const char* variable : {"temp", "TMPDIR"}) {
        const QString folder = qEnvironmentVariable(variable);
        if (!folder.isEmpty() && QDir(folder).exists()) return folder;
    }
    return "/tmp";
}

bool UndoStore::stage(Picbuf& shown) {
    QFile::remove(stagingPath());
    return StoreImage(shown, stagingPath(), kBmpFormat, 0) == 0;
}

void UndoStore::commit(const QString& undoCaption) {
    QFile::remove(path_);
    if (!QFile::rename(stagingPath(), path_)) {
        clear();
        return;
    }
    caption_ = undoCaption;
    available_ = true;
}

void UndoStore::discardStaged() { QFile::remove(stagingPath()); }

void UndoStore::clear() {
    available_ = false;
    caption_ = "Undo";
}

bool UndoStore::restore(Picbuf& shown) {
    // The undo image is a bitmap the viewer wrote itself: nothing of today in it.
    const bool loaded = QFile::exists(path_) && LoadImage(shown, path_, kBmpFormat, false) == 0;
    clear();
    return loaded;
}

}  // namespace pm32::viewer
