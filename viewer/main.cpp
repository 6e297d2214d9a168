#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include "viewer/message_boxes.h"
#include "viewer/picedit.h"
#include "viewer/settings.h"
#include "viewer/single_instance.h"
#include "viewer/snapshot.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("vstl32");
    QApplication::setApplicationDisplayName("Vistel/32");
    QApplication::setDesktopFileName("vstl32");

    QCommandLineParser parser;
    parser.setApplicationDescription("Vistel/32: views and touches up one image at a time.");
    parser.addHelpOption();
    const QCommandLineOption snapshot(
        "snapshot", "Writes a picture of the window showing the file to FILE (PNG), then quits.",
        "FILE");
    parser.addOption(snapshot);
    parser.addPositionalArgument("file", "The image to open.", "[file]");
    parser.process(application);
    const QStringList files = parser.positionalArguments();
    const QString file = files.isEmpty() ? QString() : QFileInfo(files.first()).absoluteFilePath();

    pm32::viewer::UseQtMessageBoxes();
    pm32::viewer::ViewerSettings settings;
    const bool handOver = settings.singleInstance() && !parser.isSet(snapshot);
    if (handOver && !file.isEmpty() && pm32::viewer::SingleInstance::HandOver(file)) return 0;

    pm32::viewer::PicEdit window(settings);
    pm32::viewer::SingleInstance door;
    if (handOver && door.listen())
        QObject::connect(&door, &pm32::viewer::SingleInstance::fileHandedOver, &window,
                         &pm32::viewer::PicEdit::openHandedOver);
    window.show();
    if (!file.isEmpty()) window.openFile(file);
    if (parser.isSet(snapshot))
        return pm32::viewer::WriteSnapshot(window, parser.value(snapshot)) ? 0 : 1;
    return application.exec();
}
