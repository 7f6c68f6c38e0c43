#ifndef MORVIK_H
#define MORVIK_H
/* morvik: file primitives and program texts, with a C interface.
 * Paths are the platform's native 8-bit encoding. */

#if defined(MORVIK_BUILDING)
#define MORVIK_API __attribute__((visibility("default")))
#else
#define MORVIK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Pushes the data of a file that the caller has just closed to the disk.
 * Non-zero when it reached the disk, 0 on failure. Never follows a link. */
MORVIK_API int flush_file(const char* path);

/* Sets the length of a regular file nobody holds open. 0 on success, a
 * negative errno value on failure. Never follows a link. */
MORVIK_API int change_filesize(const char* path, long long length);

/* Loads a program-text file into the text set `slot` (0 to 15).
 * Positive: the number of texts loaded. Otherwise:
 *   0  no text read          -1  file cannot be opened
 *  -2  bad text set          -3  too much text (over 1 MiB or 10000 texts)
 *  -4  a line that cannot be read as "number text" beyond line 500
 *  -6  file empty            -7  read error
 *  -8  out of memory
 *  -(1500 + L)  duplicate number at line L
 *  -(1000 + L)  text longer than 1024 bytes at line L (L <= 500)
 *  -(500 + L)   number without text, or no number, at line L (L <= 500) */
MORVIK_API int lt(const char* path, int slot);

/* Copies text `number` of set `slot` into buffer (at most size bytes, UTF-8,
 * not terminated). Returns the number of bytes placed, 0 when the set holds
 * no such text, -1 when the set was never loaded. `flag` is reserved (1). */
MORVIK_API int gt(int number, int slot, char* buffer, int size, int flag);

#ifdef __cplusplus
}
#endif

#endif
