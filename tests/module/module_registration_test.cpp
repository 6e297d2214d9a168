#include <gtest/gtest.h>
#include <pm32.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

// The module as a component loader sees it: registration, class objects and
// whether it may be unloaded, through the exported functions alone.
namespace {

namespace fs = std::filesystem;

constexpr const char* kPicbufClass = "{970B41E3-F71E-11CE-B134-444553540000}";
constexpr const char* kDataSourceClass = "{970B41EC-F71E-11CE-B134-444553540000}";

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

class ModuleRegistration : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("pm32-registry-" + std::to_string(::getpid()) + "-" +
                   testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        useFolder(folder_ / "registry");
    }
    void TearDown() override {
        unsetenv("PIXMILL_REGISTRY");
        fs::remove_all(folder_);
    }
    void useFolder(const fs::path& registry) {
        registry_ = registry;
        setenv("PIXMILL_REGISTRY", registry.c_str(), 1);
    }

    fs::path folder_;
    fs::path registry_;
};

TEST_F(ModuleRegistration, RecordsEachClassAndTheTypeLibraryAndRemovesOnlyThose) {
    ASSERT_EQ(DllRegisterServer(), pm32::S_OK);
    const std::string control = ReadText(registry_ / (std::string(kPicbufClass) + ".class"));
    for (const char* line :
         {"ProgId=Pixmill32.Picbuf.1\n", "VersionIndependentProgId=Pixmill32.Picbuf\n",
          "TypeName=Pixmill32 Control\n", "MiscStatus=0x30191\n", "Insertable=1\n",
          "TypeLibrary={970B41E0-F71E-11CE-B134-444553540000}\n", "Version=1.0\n"})
        EXPECT_NE(control.find(line), std::string::npos) << line;

    // The library named is the one loaded here, so a container can load it again.
    const std::size_t library = control.find("Library=");
    ASSERT_NE(library, std::string::npos);
    const fs::path path = control.substr(library + 8, control.find('\n', library) - library - 8);
    EXPECT_TRUE(fs::exists(path)) << path;
    EXPECT_NE(path.filename().string().find("libpm32.so"), std::string::npos) << path;

    // Eight pages, each its own class with its ProgID.
    const std::size_t pages = control.find("PropertyPages=");
    ASSERT_NE(pages, std::string::npos);
    std::string list = control.substr(pages + 14, control.find('\n', pages) - pages - 14);
    int count = 0;
    for (std::size_t start = 0; start < list.size(); start += 39, ++count) {
        const std::string page = ReadText(registry_ / (list.substr(start, 38) + ".class"));
        EXPECT_NE(page.find("ProgId=Pm32.Z"), std::string::npos) << list.substr(start, 38);
    }
    EXPECT_EQ(count, 8);
    EXPECT_NE(ReadText(registry_ / (std::string(kDataSourceClass) + ".class"))
                  .find("ProgId=Pixmill32.DataSource.1\n"),
              std::string::npos);

    const std::string library_text =
        ReadText(registry_ / "{970B41E0-F71E-11CE-B134-444553540000}-1.0.typelib");
    for (const char* line : {"Name=pm32Lib\n", "\tmethod\tLoad\t", "Event=1\tevent\tChange\t",
                             "Enumeration=enumDrawStyle\tDSSolid=0\t"})
        EXPECT_NE(library_text.find(line), std::string::npos) << line;

    // Registering again replaces; unregistering leaves what is not ours.
    ASSERT_EQ(DllRegisterServer(), pm32::S_OK);
    std::ofstream(registry_ / "other.class") << "ClassId=other\n";
    EXPECT_EQ(DllUnregisterServer(), pm32::S_OK);
    std::vector<fs::path> left(fs::directory_iterator(registry_), {});
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left.front().filename(), "other.class");
    EXPECT_EQ(DllUnregisterServer(), pm32::S_OK);
}

TEST_F(ModuleRegistration, AFolderThatCannotBeMadeOrIsUnknownFailsTheRegistration) {
    fs::create_directories(folder_);
    std::ofstream(folder_ / "file") << "not a folder";
    useFolder(folder_ / "file" / "registry");
    EXPECT_EQ(DllRegisterServer(), pm32::SELFREG_E_CLASS);
    EXPECT_EQ(ReadText(folder_ / "file"), "not a folder");

    // Relative names count for nothing: no registration lands where the
    // program happens to run.
    const fs::path before = fs::current_path();
    fs::current_path(folder_);
    std::vector<std::pair<std::string, const char*>> saved;
    for (const char* variable : {"XDG_DATA_HOME", "HOME"}) {
        saved.emplace_back(getenv(variable) ? getenv(variable) : "", variable);
        setenv(variable, "relative", 1);
    }
    setenv("PIXMILL_REGISTRY", "registry", 1);
    EXPECT_EQ(DllRegisterServer(), pm32::SELFREG_E_CLASS);
    EXPECT_EQ(DllUnregisterServer(), pm32::SELFREG_E_CLASS);
    fs::current_path(before);
    for (const auto& [value, variable] : saved)
        value.empty() ? unsetenv(variable) : setenv(variable, value.c_str(), 1);
    EXPECT_FALSE(fs::exists(folder_ / "registry"));
    EXPECT_FALSE(fs::exists(folder_ / "relative"));
}

TEST(ModuleClassObjects, AreHandedOutForTheModulesClassesAsClassFactoryOnly) {
    struct Case {
        const char* classId;
        const char* interfaceId;
        std::int32_t result;
    };
    for (const Case& c : {
             Case{kPicbufClass, pm32::IID_IClassFactory, pm32::S_OK},
             Case{"{970b41e3-f71e-11ce-b134-444553540000}", pm32::IID_IUnknown, pm32::S_OK},
             Case{kDataSourceClass, pm32::IID_IClassFactory, pm32::S_OK},
             Case{"{970B41E4-F71E-11CE-B134-444553540000}", pm32::IID_IClassFactory,
                  pm32::CLASS_E_CLASSNOTAVAILABLE},  // a property page
             Case{nullptr, pm32::IID_IClassFactory, pm32::CLASS_E_CLASSNOTAVAILABLE},
             Case{kPicbufClass, "{00020400-0000-0000-C000-000000000046}", pm32::E_NOINTERFACE},
             Case{kPicbufClass, nullptr, pm32::E_NOINTERFACE},
         }) {
        SCOPED_TRACE(c.classId ? c.classId : "null");
        void* object = &object;
        EXPECT_EQ(DllGetClassObject(c.classId, c.interfaceId, &object), c.result);
        if (c.result != pm32::S_OK) {
            EXPECT_EQ(object, nullptr);
            continue;
        }
        auto* factory = static_cast<pm32::ClassFactory*>(object);
        pm32::Control made = factory->CreateInstance();
        EXPECT_EQ(made.typeInfo().classId.size(), 38u);
        EXPECT_EQ(factory->Release(), 0u);
    }
    EXPECT_EQ(DllGetClassObject(kPicbufClass, pm32::IID_IClassFactory, nullptr), pm32::E_POINTER);
}

TEST(ModuleClassObjects, TheModuleStaysInUseWhileAnObjectOrALockRemains) {
    ASSERT_EQ(DllCanUnloadNow(), pm32::S_OK);
    void* object = nullptr;
    ASSERT_EQ(DllGetClassObject(kPicbufClass, pm32::IID_IClassFactory, &object), pm32::S_OK);
    auto* factory = static_cast<pm32::ClassFactory*>(object);
    EXPECT_EQ(DllCanUnloadNow(), pm32::S_FALSE);
    {
        pm32::Control control = factory->CreateInstance();
        EXPECT_EQ(factory->AddRef(), 2u);
        EXPECT_EQ(factory->Release(), 1u);
        factory->LockServer(true);
        EXPECT_EQ(factory->Release(), 0u);
        control.put("ImageNumber", pm32::Variant::I2(3));
        EXPECT_EQ(control.get("ImageNumber").toI4(), 3);
        factory = nullptr;
    }
    EXPECT_EQ(DllCanUnloadNow(), pm32::S_FALSE);  // the lock

    ASSERT_EQ(DllGetClassObject(kDataSourceClass, pm32::IID_IClassFactory, &object), pm32::S_OK);
    factory = static_cast<pm32::ClassFactory*>(object);
    factory->LockServer(false);
    factory->LockServer(false);  // one unlock too many frees nothing more
    EXPECT_EQ(DllCanUnloadNow(), pm32::S_FALSE);
    factory->Release();
    EXPECT_EQ(DllCanUnloadNow(), pm32::S_OK);
}

}  // namespace
