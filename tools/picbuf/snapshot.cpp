#include "tools/picbuf/snapshot.h"

#include <QString>

namespace pm32::tools {

bool WriteSnapshot(platform::HeadlessWindowHost& window, const std::string& path,
                   std::string& problem) {
    bool painted = false;
    QImage picture = window.Snapshot(&painted);
    if (!painted) {
        problem = "the control could not paint its window, so no snapshot was written";
        return false;
    }
    if (!picture.save(QString::fromStdString(path), "PNG")) {
        problem = "cannot write the snapshot to " + path;
        return false;
    }
    return true;
}

}  // namespace pm32::tools
