// The C library's string functions, declared as its public documentation gives them.
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

void* memchr(const void* s, int c, size_t n);
int memcmp(const void* a, const void* b, size_t n);
void* memcpy(void* __restrict to, const void* __restrict from, size_t n);
void* memmove(void* to, const void* from, size_t n);
void* memset(void* s, int c, size_t n);
char* strcat(char* __restrict to, const char* __restrict from);
char* strchr(const char* s, int c);
int strcmp(const char* a, const char* b);
int strcoll(const char* a, const char* b);
char* strcpy(char* __restrict to, const char* __restrict from);
size_t strcspn(const char* s, const char* reject);
char* strerror(int error);
size_t strlen(const char* s);
char* strncat(char* __restrict to, const char* __restrict from, size_t n);
int strncmp(const char* a, const char* b, size_t n);
char* strncpy(char* __restrict to, const char* __restrict from, size_t n);
char* strpbrk(const char* s, const char* accept);
char* strrchr(const char* s, int c);
size_t strspn(const char* s, const char* accept);
char* strstr(const char* haystack, const char* needle);
char* strtok(char* __restrict s, const char* __restrict separators);
size_t strxfrm(char* __restrict to, const char* __restrict from, size_t n);

#ifdef __cplusplus
}
#endif
