/* libdeco32: the fractal (FIF) decoder, reached through one C entry that hands
   out its functions by ordinal. Callers load the library at run time, ask
   deco32_ordinal for each number and cast the result to the matching type below.
   Every function is safe on hostile input: a bad file, table or argument gives a
   non-zero result, never a crash. */
#ifndef DECO32_H
#define DECO32_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void (*DecoProc)(void);

/* The one exported entry: the function of an ordinal, or null for an unknown one. */
DecoProc deco32_ordinal(int32_t ordinal);
typedef DecoProc (*DecoOrdinalEntry)(int32_t ordinal);
#define DECO32_ENTRY_NAME "deco32_ordinal"

/* Progress callback: told how many more output rows are done; returns 1 to stop
   the decode, 0 to go on. */
typedef int32_t (*DecoProgress)(int32_t rows);

/* Room the caller gives ordinal 15 for the FTT name, with its terminating zero. */
#define DECO32_NAME_BUFFER 256

/* Output kinds of ordinal 13. */
#define DECO32_KIND_TRUE_COLOR 3 /* 24-bit pixels, blue, green, red bytes */
#define DECO32_KIND_INDEXED 10   /* 1, 4 or 8-bit indices into the colour table */

/* ordinal 14's result when the progress callback stopped the decode */
#define DECO32_STOPPED (-2)

/* 1: a new decoder; the caller frees it with ordinal 2. */
typedef int32_t (*DecoCreate)(void** decoder);
/* 2: frees a decoder and everything it holds. */
typedef int32_t (*DecoFree)(void* decoder);
/* 3: parses a whole FIF file held in memory (the bytes are copied). */
typedef int32_t (*DecoOpen)(void* decoder, const uint8_t* data, uint32_t size);
/* 5: hands over the bytes of the FTT file the FIF names. */
typedef int16_t (*DecoSetTable)(void* decoder, const uint8_t* data, uint32_t size);
/* 9: the stored size (0 x 0 when the file does not know it) and, in extra, the
   stored bits per pixel (24 colour, 8 grey). */
typedef int32_t (*DecoStoredSize)(void* decoder, int32_t* width, int32_t* height, int32_t* extra);
/* 11: the size of the whole decoded picture, any width and height from 1 to 32767. */
typedef int32_t (*DecoSetOutputSize)(void* decoder, int32_t width, int32_t height);
/* 13: output kind, the red, green and blue bits of the colour histogram that
   indexed output builds its table from (1 to 8 each), and 1 when rows go
   bottom-up in memory as in a DIB. */
typedef int32_t (*DecoSetOutputFormat)(void* decoder, int32_t kind, int32_t redBits,
                                       int32_t greenBits, int32_t blueBits, int32_t bottomUp);
/* 14: decodes the crop rectangle of the picture (all four 0: the whole picture)
   into rows of the given stride; parts of the rectangle beyond the picture are
   black. 0, DECO32_STOPPED, or another non-zero failure. */
typedef int16_t (*DecoDecode)(void* decoder, uint8_t* firstRow, int32_t cropX, int32_t cropY,
                              int32_t cropWidth, int32_t cropHeight, int32_t stride);
/* 15: copies the name of the FTT file the FIF needs (empty when it needs none). */
typedef int16_t (*DecoTableName)(void* decoder, char* name);
/* 16: forgets the progress callback. */
typedef int32_t (*DecoClearProgress)(void* decoder);
/* 17: the progress callback; mode 1 reports every band of 8 rows, mode 2 every row. */
typedef int32_t (*DecoSetProgress)(void* decoder, DecoProgress callback, int32_t mode);
/* 18: rounds a wanted size to the nearest size the decoder makes without resampling. */
typedef int32_t (*DecoFastestSize)(void* decoder, int32_t* width, int32_t* height);
/* 20: error diffusion on (1) or off (0) for indexed output, and the weights of
   red, green and blue in the colour distance (0 to 15, not all 0). */
typedef int32_t (*DecoSetDither)(void* decoder, int32_t dither, int32_t redWeight,
                                 int32_t greenWeight, int32_t blueWeight);
/* 23: the colour table after ordinal 14, as red, green, blue, 0 entries; the
   caller gives room for the count of ordinal 24. */
typedef int32_t (*DecoColorTable)(void* decoder, uint8_t* entries);
/* 24: an indexed table of count entries (2, 16 or 256) from entry first on; an
   adaptive table uses at most colors entries (0: all). */
typedef int32_t (*DecoSetPalette)(void* decoder, uint32_t colors, int32_t first, int32_t count);
/* 26: a fixed table instead of an adaptive one; 0 is the standard colour set. */
typedef int32_t (*DecoFixedPalette)(void* decoder, int32_t which);
/* 27: the library's version. */
typedef int32_t (*DecoVersion)(int32_t* major, int32_t* minor);
/* 28: whether the bytes start a FIF file (isFif 1 or 0); non-zero when the file
   claims a format newer than this library reads. */
typedef int32_t (*DecoCheckFile)(const uint8_t* data, uint32_t size, uint8_t* isFif);

#ifdef __cplusplus
}
#endif

#endif
