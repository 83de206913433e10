#include <cstring>

#include "api/host_api.h"
#include "frame/handlers.h"

void MakeTempFileName(char* buffer) {
  char directory[MAX_PATH];
  GetTempPathA(MAX_PATH, directory);
  GetTempFileNameA(directory, "VEX", 0, buffer);
}
