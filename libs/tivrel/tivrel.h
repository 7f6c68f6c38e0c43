#ifndef TIVREL_H
#define TIVREL_H
/* tivrel: calendar day numbers and digit grouping, with a C interface. */

#include <stdint.h>

#if defined(TIVREL_BUILDING)
#define TIVREL_API __attribute__((visibility("default")))
#else
#define TIVREL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A calendar date and its day number. */
typedef struct tivrel_date {
    int32_t year;
    int32_t month;    /* 1 to 12; 0 = blank */
    int32_t day;      /* 1 to 31; 0 = blank */
    int32_t calendar; /* character code of the calendar; 0 or 'G': Gregorian */
    int32_t jdn;      /* Julian day number (1 January 2000 = 2451545) */
    int32_t valid;    /* non-zero when the date exists */
} tivrel_date;

/* Returns the Julian day number of the record's Gregorian year, month and
 * day, stores it in the record and sets the valid flag (zero for a day that
 * does not exist or a blank month or day). */
TIVREL_API int32_t euro_date_to_jdn(tivrel_date* date);

/* Fills year, month and day from the record's day number; sets valid. */
TIVREL_API int32_t jdn_to_euro_date(tivrel_date* date);

/* Writes `number` (decimal digits, optional sign and decimals) with its
 * integer digits grouped by threes with `separator` into buffer, ended by a
 * zero character. The buffer holds 20 characters; a result that would not
 * fit is written without grouping, cut to 19 characters. Returns the length
 * written. */
TIVREL_API int32_t separate_thousands(const char* number, int32_t separator, char* buffer);

#ifdef __cplusplus
}
#endif

#endif
