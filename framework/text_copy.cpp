#include "framework/text_copy.h"

#include <cstring>

void CopyTextBounded(char* dest, const char* source, size_t size) {
  if (!dest || size == 0) return;
  size_t length = source ? strnlen(source, size - 1) : 0;
  if (length) memcpy(dest, source, length);
  dest[length] = '\0';
}
