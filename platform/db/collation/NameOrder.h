#pragma once
/* The order of the program's names, shared by the database's name columns and the sorted lists.
 * Texts are UTF-8 of the given byte lengths; answers <0, 0 or >0. */

#ifdef __cplusplus
extern "C" {
#endif

int KvoCompareNames(const char* a, int aLength, const char* b, int bLength);

#ifdef __cplusplus
}
#endif
