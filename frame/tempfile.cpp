#include <cstring>

#include "frame/handlers.h"
#include "host/kernel32.h"

void MakeTempFileName(char* buffer) {
  char directory[MAX_PATH];
  GetTempPathA(MAX_PATH, directory);
  GetTempFileNameA(directory, "VEX", 0, buffer);
}
