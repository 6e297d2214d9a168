#pragma once

// Every error number the toolkit reports, once: its name in `err::` and its
// message in the string table. A number without a message (nullptr) is
// reported but has no text. Kept in ascending order of number.
#define PM32_ERROR_TABLE(X)                                                                        \
    X(FileMissing, 20100, "The specified file does not exist")                                     \
    X(BadFile, 20101, "The specified file was of the incorrect type or corrupted")                 \
    X(OutOfMemory, 20102, "Out of memory")                                                         \
    X(NoPalette, 20103, "The picture does not have a palette")                                     \
    X(NoBitmap, 20104, "The picture does not have a bitmap")                                       \
    X(FormatNotSupported, 20105,                                                                   \
      "The specified format parameter (or DataFormat) is not supported")                           \
    X(BadDepth, 20106, "The specified bit-depth is invalid")                                       \
    X(WriteFailed, 20107, "An error occurred while writing the file")                              \
    X(FormatCannotHold, 20108, "The specified format parameter does not support the image")        \
    X(InvalidPicture, 20109, "The specified picture is invalid")                                   \
    X(DibNotInEntryTable, 20110, "Invalid DIB: Not in Global Entry Table List")                    \
    X(DibBadInfoHeader, 20111, "Invalid DIB: contains an Invalid BITMAPINFOHEADER")                \
    X(DibCannotLock, 20112, "Invalid DIB: can't lock in memory")                                   \
    X(DibHeaderSize, 20113,                                                                        \
      "Invalid DIB: size of BITMAPINFOHEADER does not match entry size in the global entry table") \
    X(DibPlanes, 20114, "Invalid DIB: number of bit planes must be 1")                             \
    X(DibCompressed, 20115, "Invalid DIB: must be in uncompressed (BI_RGB) format")                \
    X(DibDepth, 20116, "Invalid DIB: bit depth must be 1,4,8, or 24")                              \
    X(DibDepth8Or24, 20117, "Invalid DIB: bit depth must 8 or 24")                                 \
    X(DibColorTable, 20118, "Invalid DIB: invalid color table (Must be 1 4 8 24)")                 \
    X(DibDataSize, 20119,                                                                          \
      "Invalid DIB: size of data in the Global Entry Table does not match size in "                \
      "BITMAPINFOHEADER")                                                                          \
    X(DepthMismatch, 20120, "The source images must have the same bit-depth")                      \
    X(OutOfRange, 20121, "The specified image area is invalid")                                    \
    X(BadEdgeMagnitude, 20122, "The specified magnitude is invalid")                               \
    X(BadSoftness, 20123, "The specified softness is invalid")                                     \
    X(BadSharpness, 20124, "The specified sharpness is invalid")                                   \
    X(NoManipulation, 20125, "No manipulation was specified")                                      \
    X(BadRotationAngle, 20126, "The specified rotation angle is invalid")                          \
    X(BadBrightness, 20127, "The specified brightness is invalid")                                 \
    X(BadContrast, 20128, "The specified contrast is invalid")                                     \
    X(BadArea, 20129, "The specified area is invalid")                                             \
    X(BadOption, 20130, "The specified option is invalid")                                         \
    X(OperationFailure, 20131, "Operation Failure")                                                \
    X(BadCompression, 20132, "The specified compression parameter is invalid")                     \
    X(TiffCompressionUnsupported, 20133, "The specified TIFF compression scheme is not supported") \
    X(JpegLibraryMissing, 20134, "Can't find PMJPG16 dll")                                         \
    X(JpegLibraryVersion, 20135, "Invalid version of PMJPG16 dll loaded")                          \
    X(CannotDisplay, 20136, "The image could not be displayed.  You may be low on memory.")        \
    X(XOutOfBounds, 20137, "The X value is NOT within the bounds of the image")                    \
    X(YOutOfBounds, 20138, "The Y value is NOT within the bounds of the image")                    \
    X(PaletteDepthMismatch, 20139,                                                                 \
      "Mismatch of the bit depth of the image and the number of colors in the palette.  Setting "  \
      "a Picbuf image to a Palette requires the bit depth of the image match the number of "       \
      "colors in the palette")                                                                     \
    X(InvalidPalette, 20140, "Invalid palette used in setting a image to a palette")               \
    X(TrueColorHasNoPalette, 20141, "A True Color Image does not have a palette")                  \
    X(PaletteTooSmall, 20142, "An invalid palette with < 2 colors has been detected")              \
    X(BadDumpOption, 20143, "Invalid Option: must be >= 0 or <= 2")                                \
    X(BadPaletteSize, 20144, "Number of colors must be >=2 or <= 256")                             \
    X(TooManyWithSystemColors, 20145,                                                              \
      "Desired colors in palette exceeds limit of 256 colors with 20 colors included in the "      \
      "System Palette")                                                                            \
    X(AssertFailed, 20146, "a ZASSERT has FAILED.  Fatal error.")                                  \
    X(MoreThan236Colors, 20147, "Image contains more than 236 colors")                             \
    X(NeedsEightBits, 20148, "This operation only operates on 8 bit images")                       \
    X(FaxLibraryMissing, 20149, "Cannot load PMFAX.DLL")                                           \
    X(FaxProceduresMissing, 20150, "Cannot find procedures to load in PMFAX.DLL")                  \
    X(BadFaxFile, 20151, "Invalid CCITT group 3 or 4 file.")                                       \
    X(FaxPaletteOnly, 20152,                                                                       \
      "Invalid CCITT group 3 or 4 file loading option. Cannot load only the palette")              \
    X(NegativeImageNumber, 20153, "Image number specified must >= 0")                              \
    X(NoDeviceContext, 20154, "Draw failed. Could not create DC.")                                 \
    X(DrawFailed, 20155, "Draw failed. Could not execute draw statement")                          \
    X(TextDrawFailed, 20156, "Text Draw failed. Could not execute text draw statement")            \
    X(TextAutoSizeFailed, 20157, "Text AutoSize failed.")                                          \
    X(EmptySelectArea, 20158, "Select area must be greater than 0.")                               \
    X(FifDecoderMissing, 20159, "Can't find DECO.DLL")                                             \
    X(FifDecoderBad, 20160, "Bad DECO.DLL")                                                        \
    X(FifDecompression, 20161, "FIF decompression error")                                          \
    X(FifTableMissing, 20162, "Cannot find FTT file for FIF decompression.")                       \
    X(ReductionNeedsEightBits, 20163,                                                              \
      "Color reduction code for this operation requires an 8 bit image")                           \
    X(SystemError, 20164, "Operating System Error has occurred.  Please notify Customer Support")  \
    X(TooManyColors, 20165, "The result of this operation has generated too many colors")          \
    X(TooFewColors, 20166, "The result of this operation has generated too few colors")            \
    X(ReservedOutOfBounds, 20167,                                                                  \
      "The settings for the reserved entries are out of bounds < 10 or > 245")                     \
    X(InvalidPaletteFile, 20168, "The selected palette is invalid.")                               \
    X(FifDoubleScaleTooLarge, 20173, "FIF image area is too large for double scale output.")       \
    X(JpegTypeUnsupported, 20174, "JPEG file type is not supported.")                              \
    X(SourceIndexUnused, 20175, "source index is not used in the image")                           \
    X(DestinationIndexUnused, 20176, "destination index is not used in the image")                 \
    X(SpriteLibraryMissing, 20177, "can't load QZFILE16.DLL")                                      \
    X(SpriteLoadMissing, 20178, "can't find qzfLoad prodcedure in QZFILE16.DLL")                   \
    X(SpriteLoadSpriteMissing, 20179, "can't find qzfLoadSprite prodcedure in QZFILE16.DLL")       \
    X(UnknownSymbol, 20180, "unknown symbol found while reading file")                             \
    X(PngReadFailed, 20181, "An error was encountered while reading the PNG file")                 \
    X(PngWriteFailed, 20182, "An error was encountered while writing the PNG file")                \
    X(JpegReadFailed, 20183, "An error was encountered while reading the JPEG file")               \
    X(JpegWriteFailed, 20184, "An error was encountered while writing the JPEG file")              \
    X(BadRedRange, 20185, "Bad red color range")                                                   \
    X(BadGreenRange, 20186, "Bad green color range")                                               \
    X(BadBlueRange, 20187, "Bad blue color range")                                                 \
    X(FifDecoderVersion, 20188, "Wrong FIF DLL Version")                                           \
    X(FifVersionTooNew, 20189,                                                                     \
      "FIF file is greater than version 6.0.  Contact vendor about updated support")               \
    X(BadLoadParameter, 20190, "One or more of the Load parameters is Invalid")                    \
    X(ResolutionUnknown, 20191,                                                                    \
      "Original Resolution of the image is unknown, or not in given pixels")                       \
    X(FifTableRead, 20192, "An error was encountered in either reading or finding the FTT file")   \
    X(FifReadFailed, 20193, "An error was encountered while reading the FIF file")                 \
    X(TooFewPolygonPoints, 20194, "Too few points defined for the polygon (< 3)")                  \
    X(TooFewPolyLinePoints, 20195, "Too few points for the poly line (< 2)")                       \
    X(PictureTypeRefused, 20300, "This control does not support that type of picture")             \
    X(ZeroSizeArray, 20301, "Array is of zero size or too many dimensions")                        \
    X(PictureZeroSize, 20302, "Picture is zero size")                                              \
    X(BadChunkIndex, 20303, "Invalid chunk index")                                                 \
    X(ClipboardOpenFailed, 20304, "Opening the Clipboard failed")                                  \
    X(ClipboardEmptyFailed, 20305, "Emptying the Clipboard failed")                                \
    X(NoDib, 20306, "Control does not contain a Dib")                                              \
    X(ClipboardSetFailed, 20307, "Setting the Dib to the Clipboard failed")                        \
    X(ClipboardCloseFailed, 20308, "Closing the Clipboard failed")                                 \
    X(ClipboardGetFailed, 20309, "Getting the Dib on the Clipboard failed")                        \
    X(ScrollBarsWithAutoSize, 20310, "Scrollbars can't be used if AutoSize is TRUE")               \
    X(ScrollBarsWithAutoScale, 20311, "Scrollbars can't be used if AutoScale is TRUE")             \
    X(AutoScaleWithScrollBars, 20312, "AutoScale can't be TRUE if Scrollbars are used")            \
    X(AutoSizeWithScrollBars, 20313, "AutoSize can't be TRUE if Scrollbars are used")              \
    X(FromControlInvalid, 20314, "The From Control is Invalid")                                    \
    X(ToControlInvalid, 20315, "The To Control is Invalid")                                        \
    X(MaskControlInvalid, 20316, "The Mask Control is Invalid")                                    \
    X(FromControlEmpty, 20317, "The From Control does not contain an image")                       \
    X(ToControlEmpty, 20318, "The To Control does not contain an image")                           \
    X(MaskControlEmpty, 20319, "The Mask Control does not contain an image")                       \
    X(NullControl, 20320, "The Control parameter is NULL")                                         \
    X(NoPaletteInControl, 20321, "The Control does NOT contain a palette")                         \
    X(ControlHasImage, 20322, "The Control contains an image.  It can't")                          \
    X(NeedImageOrPalette, 20323, "The Control must contain an image or a palette")                 \
    X(SystemColorsPresent, 20324, "The Control is already System Colors add to it")                \
    X(NegativeLines, 20325, "The 'lines' parameter must be >= 0")                                  \
    X(NoCallbackWindow, 20326,                                                                     \
      "The window for the control that handles the callback message does not exist")               \
    X(BadMousePointer, 20327, "Not a valid MousePointer property.")                                \
    X(CursorFileMissing, 20328, "Cursor file cannot be found")                                     \
    X(CursorFileBad, 20329, "Cursor file is bad")                                                  \
    X(CursorNotInFile, 20330, "Could not find cursor in file")                                     \
    X(BadCursorIndex, 20331, "cursor Index must be one of 13 through 31")                          \
    X(BadScrollChange, 20333,                                                                      \
      "ScrollBarsSmallChange and ScrollBarsLargeChange value must be greater than 0.")             \
    X(RePosAutoSize, 20334, "RePos can't be used if AutoSize is True.")                            \
    X(RePosAutoScale, 20335, "RePos can't be used if AutoScale is True.")                          \
    X(RePosClientRange, 20336,                                                                     \
      "RePos control coordinates are out of range. Must be >= 0 and < Height or Width")            \
    X(RePosImageRange, 20337,                                                                      \
      "RePos image coordinates are out of range. Must be >= 0 and < Xresolution or Yresolution")   \
    X(ReduceColorsRange, 20338, "ReduceColors property must be one of 2 through 256")              \
    X(DrawWidthRange, 20339, "DrawWidth property must be one of 1 through 32767")                  \
    X(OpenFileFailure, 20340, "Open file failure:")                                                \
    X(CloseFileFailure, 20341, "Close file failure:")                                              \
    X(WriteFileFailure, 20342, "Write file failure:")                                              \
    X(ScaleScreenRange, 20343, "ScaleScreen property must be one of 1 through 32767")              \
    X(ScaleImageRange, 20344, "ScaleImage property must be one of 1 through 32767")                \
    X(ScaleRatioRange, 20345,                                                                      \
      "Attempt to paint a PicBuf with ScaleScreen:ScaleImage ratio less than 1:200 or greater "    \
      "than 200:1")                                                                                \
    X(HDibWriteOnly, 20346, "hDib property is write only")                                         \
    X(HPaletteWriteOnly, 20347, "hPalette property is write only")                                 \
    X(ContentsReadOnly, 20348, "Contents property is read only")                                   \
    X(EmptySelection, 20349,                                                                       \
      "Selection flag is True with SelectWidth = 0 and/or SelectHeight = 0")                       \
    X(NotAPicbuf, 20350, "Control is NOT an Pixmill control")                                      \
    X(CannotSetColor, 20351, "Could not set the palette color.")                                   \
    X(FileNameEmpty, 20352, "Filename Property is empty.")                                         \
    X(FileNameTooLong, 20353, "Filename Property is too large to copy.")                           \
    X(ControlOutOfMemory, 20354,                                                                   \
      "Out of memory. Operation Failure.  Shutdown Processes and try again")                       \
    X(OutOfArrayBounds, 20355, "Number to process in array is not within the bounds of the array") \
    X(ArrayNotAllocated, 20356, "Array is not allocated")                                          \
    X(ArrayNotOneDimensional, 20357, "Array must be 1 dimensional")                                \
    X(HDibDCOnlyZero, 20358, "the hDibDC property can only be set to 0")                           \
    X(DibDCReleaseFailed, 20359, "releasing the DC for the DIB failed")                            \
    X(LockFailed, 20360, "locking DIB failed")                                                     \
    X(DeviceContextFailed, 20361, "Device Context creation failed")                                \
    X(DibDCExists, 20362,                                                                          \
      "Control already has created a Device Context for the DIB. Only one at a time is allowed.")  \
    X(EmptyControlArray, 20363, "Control array must contains some controls")                       \
    X(NothingToOptimize, 20364, "No controls or files to operate on")                              \
    X(Unrecoverable, 20365,                                                                        \
      "An unroverable error has occurred.  The control is unstable.  Contact customer support.")   \
    X(OutsideZeroToThree, 20366, "Value outside of valid range of >= 0 and <= 3")                  \
    X(ColorDepthAtRunTime, 20367, "ColorDepth can't be set a run time")                            \
    X(BadDrawArrow, 20368, "Invalid draw arrow property setting")                                  \
    X(BadDrawStyle, 20369, "Invalid draw style property setting")                                  \
    X(BadFillStyle, 20370, "Invalid fill style property setting")                                  \
    X(HDCReadOnly, 20371, "The hDC property is read only.")                                        \
    X(BadImageFormat, 20372, "Not a valid ImageFormat value.")                                     \
    X(BadLoadScale, 20373, "Not a valid LoadScale.")                                               \
    X(MouseIconKind, 20375, "MouseIcon can only be a *.CUR or *.ICO file.")                        \
    X(PictureNotMade, 20376, "Could not create Picture.")                                          \
    X(PrinterHDCWriteOnly, 20377, "The PrinterhDC property is write only.")                        \
    X(BadResizeMode, 20378, "Not a valid ResizeMode value.")                                       \
    X(ScaleWhileAutoScaled, 20379, "Can't set ScaleImage or ScaleScreen with AutoScale True.")     \
    X(BadScrollBars, 20380, "Not a valid ScrollBars value.")                                       \
    X(BadTextAlignment, 20381, "Not a valid TextAlignment value.")                                 \
    X(TextWideReadOnly, 20382, "The TextWide property is read only.")                              \
    X(TextHighReadOnly, 20383, "The TextHigh property is read only.")                              \
    X(XresolutionReadOnly, 20384, "The Xresolution property is read only.")                        \
    X(YresolutionReadOnly, 20385, "The Yresolution property is read only.")                        \
    X(BadArrayType, 20386, "Bad array type parameter has been found")                              \
    X(AutoLoadAtRunTime, 20387, "The AutoLoad property is not available at run time.")             \
    X(EmbeddedAtRunTime, 20388, "The Embedded property is not available at run time.")             \
    X(CannotGetEntry, 20389, "System failure (GetPaletteEntries)")                                 \
    X(BadDestination, 20390, "Drawing Destination parmeter must be a short")                       \
    X(BadWriteOption, 20391, "Invalid write option property setting")                              \
    X(OutsideZeroToTwo, 20392, "Value outside of valid range of >= 0 and <= 2")                    \
    X(OptionNotShort, 20395, "Clipboard Destination parmeter must be a short")                     \
    X(BadPointCount, 20396, "Number of points is non-existent or of wrong type")                   \
    X(BadRegionType, 20397, "type of region to create is invalid")                                 \
    X(NoSuchRegion, 20398, nullptr)                                                                \
    X(BadRasterOp, 20399, nullptr)
