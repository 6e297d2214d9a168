// A program of someone else's: makes an image with one control, stores it,
// reads it back with another and prints what it got.
#include <pm32.h>

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: consumer FILE.bmp\n";
        return 2;
    }
    try {
        pm32::Control maker;
        maker.call("Init", {pm32::Variant::I2(24), pm32::Variant::I2(40), pm32::Variant::I2(30),
                            pm32::Variant::I4(0x336699)});
        maker.put("FileName", pm32::Variant::String(argv[1]));
        maker.call("Store");

        pm32::Control reader;
        int changes = 0;
        reader.onEvent([&](pm32::DispId, std::string_view name, std::span<pm32::Variant>) {
            changes += name == "Change";
        });
        reader.put("FileName", pm32::Variant::String(argv[1]));
        reader.call("Load");
        std::cout << reader.get("Xresolution").toI4() << 'x' << reader.get("Yresolution").toI4()
                  << " colour " << std::hex
                  << reader.call("GetColor", {pm32::Variant::I2(0), pm32::Variant::I2(0)}).toI4()
                  << std::dec << " changes " << changes << '\n';
        reader.call("Gamma", {pm32::Variant::R8(5)});
        reader.put("FileName", pm32::Variant::String("/nonexistent/folder/x.bmp"));
        reader.call("Load");
    } catch (const pm32::AutomationError& error) {
        std::cout << "error " << pm32::automation::ControlErrorNumber(error.scode()) << ": "
                  << error.description() << '\n';
    }
    return 0;
}
