#include "mymalloc.h"

#include <cstdlib>
#include <string>

#include "log_datalayer.h"

void* mymalloc(size_t size) {
  void* block = std::calloc(1, size);
  if (block == nullptr) {
    log(LOG_ERROR, "mymalloc", "Could not allocate bytes of memory! " + std::to_string(size));
    std::exit(1);
  }
  return block;
}
