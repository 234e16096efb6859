#include "render/LoadTimers.h"

namespace dusk {

LoadTimers loadTimers;

}  // namespace dusk
