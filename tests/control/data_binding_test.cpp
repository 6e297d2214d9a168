#include <gtest/gtest.h>
#include <unistd.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <optional>

#include "control/data_source.h"
#include "control/screen_bitmap.h"
#include "control/zpm32.h"
#include "tests/control/test_site.h"
#include "tests/support/peer_tools.h"
#include "tests/support/private_postgres.h"
#include "tests/support/temp_dir.h"

namespace pm32::test {
namespace {

// The file formats a row's bytes come in, with the depth each is made at.
struct RowFormat {
    const char* extension;
    int depth;
};
constexpr RowFormat kFormats[] = {{"bmp", 24}, {"png", 24}, {"jpg", 24}, {"gif", 8},
                                  {"tif", 24}, {"pcx", 8},  {"tga", 24}};

// The bytes of a one-colour image of that format and size.
QByteArray imageBytes(const TempDir& dir, const RowFormat& format, int width, int height,
                      std::int32_t color) {
    const std::string path = dir.path(std::string("made.") + format.extension);
    StoreOneColorImage(path, format.depth, width, height, color);
    const std::vector<std::uint8_t> bytes = readFile(path);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

// The colour the control shows at a pixel, as 0xRRGGBB.
std::uint32_t shownColor(const control::ZPm32& c, int x, int y) {
    return control::BuildScreenBitmap(c.Image()->handle).pixel(x, y) & 0xFFFFFF;
}

bool near(std::uint32_t a, std::uint32_t b) {
    for (int shift : {0, 8, 16})
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 8) return false;
    return true;
}

// A database the test fills through a connection of its own: an SQLite file
// of its own, or the database at an address.
class PhotoDatabase {
  public:
    explicit PhotoDatabase(const std::string& address = {})
        : address_(address.empty() ? "sqlite:" + dir.path("photos.db") : address) {
        std::string problem;
        connection_ = control::SqlConnection::Open(address_, problem);
        EXPECT_TRUE(connection_) << problem;
    }
    const std::string& address() const { return address_; }
    void exec(const QString& statement) {
        QSqlQuery query(connection_->database());
        EXPECT_TRUE(query.exec(statement)) << query.lastError().text().toStdString();
    }
    void insert(const QVariant& image) {
        QSqlQuery query(connection_->database());
        query.prepare("INSERT INTO photos (title, image) VALUES ('x', ?)");
        query.addBindValue(image);
        EXPECT_TRUE(query.exec()) << query.lastError().text().toStdString();
    }
    QVariant image(int id) {
        QSqlQuery query(connection_->database());
        query.exec("SELECT image FROM photos WHERE id = " + QString::number(id));
        return query.next() ? query.value(0) : QVariant();
    }

    TempDir dir;

  private:
    std::string address_;
    std::unique_ptr<control::SqlConnection> connection_;
};

// A run-time control bound to the photos table of the database.
struct BoundControl {
    explicit BoundControl(const std::string& address, const char* field = "IMAGE") {
        automation::PutProperty(*source, "DatabaseName", Variant::String(address));
        automation::PutProperty(*source, "RecordSource", Variant::String("photos"));
        p.put("DataSource", Variant::Object(source));
        p.put("DataField", Variant::String(field));
    }
    void move(const char* how) { automation::CallMethod(*source, how); }

    std::shared_ptr<control::DataSource> source = std::make_shared<control::DataSource>();
    PlacedControl p;
};

TEST(DataBinding, SteppingThroughFiftyRowsShowsEachRowsImage) {
    PhotoDatabase db;
    db.exec("CREATE TABLE photos (id INTEGER PRIMARY KEY, title TEXT, image BLOB)");
    auto colorOf = [](int row) { return std::int32_t(0x102030 + row * 0x030201); };
    for (int row = 0; row < 50; ++row) {
        const RowFormat& format = kFormats[row % std::size(kFormats)];
        db.insert(imageBytes(db.dir, format, 8 + row, 5 + row % 7, colorOf(row)));
    }
    db.insert(QVariant(QMetaType::fromType<QByteArray>()));  // NULL
    db.insert(QByteArray());                                 // empty

    BoundControl bound(db.address());
    EXPECT_EQ(bound.p.control->Binding().BindableColumns(), std::vector<std::string>{"image"});
    EXPECT_EQ(automation::GetProperty(*bound.source, "RecordCount").toI4(), 52);
    for (int row = 0; row < 50; ++row) {
        SCOPED_TRACE(kFormats[row % std::size(kFormats)].extension);
        EXPECT_EQ(automation::GetProperty(*bound.source, "AbsolutePosition").toI4(), row);
        ASSERT_NE(bound.p.control->Image(), nullptr) << row;
        EXPECT_EQ(bound.p.get("Xresolution").toI4(), 8 + row);
        EXPECT_EQ(bound.p.get("Yresolution").toI4(), 5 + row % 7);
        const auto bgr = static_cast<std::uint32_t>(colorOf(row));
        const std::uint32_t rgb = (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
        const bool paletted = row % std::size(kFormats) == 3 || row % std::size(kFormats) == 5;
        if (!paletted) {
            EXPECT_TRUE(near(shownColor(*bound.p.control, 2, 2), rgb)) << row;
        }
        bound.move("MoveNext");
    }
    EXPECT_EQ(bound.p.control->Image(), nullptr) << "NULL shows no image";
    bound.move("MoveNext");
    EXPECT_EQ(bound.p.control->Image(), nullptr) << "nor does an empty value";
    bound.move("MoveNext");
    EXPECT_TRUE(automation::GetProperty(*bound.source, "EOF").toBool());
    EXPECT_THROW(bound.move("MoveNext"), automation::AutomationError);
    bound.move("MoveFirst");
    EXPECT_EQ(bound.p.get("Xresolution").toI4(), 8);
    EXPECT_EQ(bound.p.control->ErrorNumber(), 0);
}

// A row's transparent PNG shows over BackColor once LoadModernFiles is on.
TEST(DataBinding, ModernFilesShowTransparencyOverTheBackColor) {
    if (convertTool().empty()) PM32_MISSING_PEER() << "ImageMagick's convert was not found";
    PhotoDatabase db;
    db.exec("CREATE TABLE photos (id INTEGER PRIMARY KEY, title TEXT, image BLOB)");
    const std::string clear = db.dir.path("clear.png");
    ASSERT_EQ(run(quoted(convertTool()) + " -size 5x3 xc:'rgba(0,0,0,0)' PNG32:" + quoted(clear)),
              0);
    const std::vector<std::uint8_t> bytes = readFile(clear);
    db.insert(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                         static_cast<qsizetype>(bytes.size())));
    db.insert(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                         static_cast<qsizetype>(bytes.size())));

    BoundControl bound(db.address());
    EXPECT_EQ(bound.p.control->Image(), nullptr) << "refused as ever";
    EXPECT_EQ(bound.p.control->ErrorNumber(), 20109);
    bound.p.put("LoadModernFiles", Variant::Bool(true));
    bound.p.put("BackColor", i4(0x00123456));
    bound.move("MoveNext");
    ASSERT_NE(bound.p.control->Image(), nullptr);
    EXPECT_EQ(shownColor(*bound.p.control, 2, 1), 0x563412u);
}

TEST(DataBinding, AChangedImageGoesBackToItsRowBeforeTheRowChanges) {
    PhotoDatabase db;
    db.exec("CREATE TABLE photos (id INTEGER PRIMARY KEY, title TEXT, image BLOB)");
    db.insert(imageBytes(db.dir, kFormats[1], 6, 4, 0x0000FF));  // PNG, red
    db.insert(imageBytes(db.dir, kFormats[2], 6, 4, 0xFF0000));  // JPEG, blue
    db.insert(QVariant(QMetaType::fromType<QByteArray>()));
    BoundControl bound(db.address());
    bound.p.put("ImageCompression", i2(90));

    bound.p.call("Negate");
    bound.move("MoveNext");
    bound.p.call("Negate");
    bound.move("MoveNext");
    bound.p.call("Init", {i2(24), i2(3), i2(2), i4(0x00FF00)});
    bound.move("MoveFirst");

    // Each row read back on its own connection and decoded by a fresh control.
    const struct {
        int id;
        const char* magic;
        std::uint32_t rgb;
    } expected[] = {
        {1, "\x89PNG", 0x00FFFF}, {2, "\xFF\xD8\xFF", 0xFFFF00}, {3, "\x89PNG", 0x00FF00}};
    for (const auto& row : expected) {
        const QByteArray bytes = db.image(row.id).toByteArray();
        EXPECT_TRUE(bytes.startsWith(row.magic)) << row.id;
        const std::string path =
            db.dir.path("back" + std::to_string(row.id) + (row.id == 2 ? ".jpg" : ".png"));
        writeFile(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        PlacedControl reader;
        reader.put("FileName", Variant::String(path));
        reader.call("Load");
        EXPECT_TRUE(near(shownColor(*reader.control, 1, 1), row.rgb)) << row.id;
    }
    EXPECT_EQ(bound.p.get("Xresolution").toI4(), 6) << "the first row shows again";
}

TEST(DataBinding, ARefusedWriteKeepsTheImageAndTheRow) {
    PhotoDatabase db;
    db.exec("CREATE TABLE photos (id INTEGER PRIMARY KEY, title TEXT, image BLOB)");
    const QByteArray original = imageBytes(db.dir, kFormats[0], 5, 5, 0x0000FF);
    db.insert(original);
    db.insert(original);
    db.exec(
        "CREATE TRIGGER frozen BEFORE UPDATE ON photos BEGIN SELECT RAISE(ABORT, 'frozen'); END");
    BoundControl bound(db.address());
    bound.p.call("Negate");
    EXPECT_THROW(bound.move("MoveNext"), automation::AutomationError);
    EXPECT_EQ(automation::GetProperty(*bound.source, "AbsolutePosition").toI4(), 0);
    EXPECT_TRUE(bound.p.control->Binding().Modified());
    EXPECT_EQ(shownColor(*bound.p.control, 0, 0), 0x00FFFFu) << "the negated image stays";
    EXPECT_EQ(db.image(1).toByteArray(), original);
}

TEST(DataBinding, WhatCannotBeBoundLeavesTheControlAlone) {
    PhotoDatabase db;
    db.exec("CREATE TABLE photos (id INTEGER PRIMARY KEY, title TEXT, image BLOB)");
    db.exec("CREATE TABLE notes (id INTEGER PRIMARY KEY, body TEXT)");
    db.insert(QByteArray("this is no picture at all, only words"));
    db.insert(imageBytes(db.dir, kFormats[0], 7, 3, 0x0000FF));

    // Unreadable bytes: the load's error and no image; the next row still shows.
    BoundControl bound(db.address());
    EXPECT_EQ(bound.p.control->Image(), nullptr);
    EXPECT_NE(bound.p.control->ErrorNumber(), 0);
    bound.move("MoveNext");
    EXPECT_EQ(bound.p.get("Xresolution").toI4(), 7);

    // No BLOB column: nothing to offer, nothing shown, no error.
    auto notes = std::make_shared<control::DataSource>();
    automation::PutProperty(*notes, "DatabaseName", Variant::String(db.address()));
    automation::PutProperty(*notes, "RecordSource", Variant::String("notes"));
    PlacedControl plain;
    plain.put("DataSource", Variant::Object(notes));
    plain.put("DataField", Variant::String("body"));
    EXPECT_TRUE(plain.control->Binding().BindableColumns().empty());
    EXPECT_EQ(plain.control->ErrorNumber(), 0);

    // A source that cannot open says why; the control bound to it is unaffected.
    auto missing = std::make_shared<control::DataSource>();
    automation::PutProperty(*missing, "DatabaseName",
                            Variant::String("sqlite:" + db.dir.path("no/such/folder.db")));
    plain.put("DataSource", Variant::Object(missing));
    EXPECT_THROW(automation::PutProperty(*missing, "RecordSource", Variant::String("photos")),
                 automation::AutomationError);
    EXPECT_EQ(plain.control->ErrorNumber(), 0);
}

// The same stepping and write-back against a PostgreSQL server the test
// starts itself, its images in a bytea column.
TEST(DataBinding, APostgresqlTableStepsAndTakesChangesBack) {
    if (PrivatePostgres::programFolder().empty())
        PM32_MISSING_PEER() << "needs the postgresql package";
    if (::geteuid() != 0) GTEST_SKIP() << "the private server runs as the postgres user: root only";
    PrivatePostgres server;
    ASSERT_TRUE(server.ready()) << server.log();
    PhotoDatabase db(server.address());
    db.exec("CREATE TABLE photos (id SERIAL PRIMARY KEY, title TEXT, image BYTEA)");
    for (int row = 0; row < 7; ++row)
        db.insert(imageBytes(db.dir, kFormats[row], 10 + row, 4, 0x0000FF));
    BoundControl bound(server.address(), "Image");
    EXPECT_EQ(bound.p.control->Binding().BindableColumns(), std::vector<std::string>{"image"});
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(bound.p.get("Xresolution").toI4(), 10 + row) << kFormats[row].extension;
        bound.move("MoveNext");
    }
    bound.move("MoveFirst");
    bound.p.call("Negate");
    bound.move("MoveLast");
    const QByteArray written = db.image(1).toByteArray();
    const std::string path = db.dir.path("back.bmp");
    writeFile(path, std::vector<std::uint8_t>(written.begin(), written.end()));
    PlacedControl reader;
    reader.put("FileName", Variant::String(path));
    reader.call("Load");
    EXPECT_EQ(shownColor(*reader.control, 1, 1), 0x00FFFFu) << "negated red, back as a BMP";
}

}  // namespace
}  // namespace pm32::test
