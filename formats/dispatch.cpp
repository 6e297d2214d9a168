#include "formats/dispatch.h"

#include "engine/diagnostics.h"
#include "formats/bmp.h"
#include "formats/diagnostic_locations.h"
#include "formats/fif.h"
#include "formats/gif.h"
#include "formats/jpeg.h"
#include "formats/pcx.h"
#include "formats/png.h"
#include "formats/targa.h"
#include "formats/tiff.h"

namespace pm32 {

ErrorNumber ResolveFormat(int imageFormat, const std::string& path, FormatCode& format) {
    format = imageFormat == kFormatAny ? IdentifyFormatByExtension(path)
                                       : static_cast<FormatCode>(imageFormat);
    if (format == kFormatAny || format == kFormatPaintbrush || format == kFormatUnrecognised)
        return err::BadFile;
    return 0;
}

ErrorNumber CheckStoreCompression(int format, int compression) {
    bool accepted = true;
    switch (format) {
        case kFormatTiff:
        case kFormatGif:
            accepted = compression == 0 || compression == 1;
            break;
        case kFormatTarga:
        case kFormatPcx:
            accepted = compression == 0 || compression == 2;
            break;
        case kFormatBmp:
        case kFormatDib:
            accepted = compression == 0;
            break;
        case kFormatJpeg:
            accepted = compression >= 5 && compression <= 100;
            break;
        case kFormatPng:
            accepted = compression == 0 || compression == 10;
            break;
        default:
            break;
    }
    return accepted ? 0 : err::BadCompression;
}

void LoadFile(ZDib& image, const std::string& path, int format, int imageNumber,
              const ZLoadParams& params) {
    if (format == kFormatAny) {
        format = IdentifyFormatByExtension(path);
        if (format == kFormatAny || format == kFormatPaintbrush) {
            image.error = reportFailure(err::BadFile, location::LoadFormatUnnamed);
            return;
        }
        if (format == kFormatUnrecognised) {
            image.error = reportFailure(err::BadFile, location::FormatUnrecognised);
            return;
        }
    }
    switch (format) {
        case kFormatBmp:
        case kFormatDib:
            LoadBMP(image, path, params);
            return;
        case kFormatTiff:
            LoadTIFF(image, path, imageNumber, params);
            return;
        case kFormatTarga:
            LoadTGA(image, path);
            return;
        case kFormatGif:
            LoadGIF(image, path, imageNumber, params);
            return;
        case kFormatPcx:
            LoadPCX(image, path);
            return;
        case kFormatJpeg:
            LoadJPEG(image, path, params);
            return;
        case kFormatPng:
            LoadPNG(image, path, params);
            return;
        case kFormatFif:
            LoadFIF(image, path, params);
            return;
        default:
            image.error = reportFailure(err::FormatNotSupported, location::LoadFormatUnknown);
            return;
    }
}

void StoreFile(ZDib& image, const std::string& path, int format, int compression, bool append,
               int writeOption) {
    if (format == kFormatAny) {
        format = IdentifyFormatByExtension(path);
        if (format == kFormatUnrecognised) {
            image.error = reportFailure(err::BadFile, location::FormatUnrecognised);
            return;
        }
    }
    image.error = CheckStoreCompression(format, compression);
    if (image.error != 0) return;
    switch (format) {
        case kFormatBmp:
        case kFormatDib:
            StoreBMP(image, path);
            return;
        case kFormatTiff:
            StoreTIFF(image, path, compression, append);
            return;
        case kFormatTarga:
            StoreTGA(image, path, compression);
            return;
        case kFormatGif:
            StoreGIF(image, path);
            return;
        case kFormatPcx:
            StorePCX(image, path);
            return;
        case kFormatJpeg:
            StoreJPEG(image, path, compression, writeOption);
            return;
        case kFormatPng:
            StorePNG(image, path, writeOption);
            return;
        default:
            image.error = reportFailure(err::FormatNotSupported, location::StoreFormatUnknown);
            return;
    }
}

}  // namespace pm32
