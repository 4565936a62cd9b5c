#include "shmMapper.h"

#include "log_datalayer.h"

namespace VOK {

ShmMapper::ShmMapper() { log(LOG_DEBUG, "common/src/shmMapper", "Generate ShmMapper-Object"); }

}  // namespace VOK
