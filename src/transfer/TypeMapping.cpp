#include "TypeMapping.h"

namespace dravena {

QString DataTypeName(short typeNumber) {
    (void)typeNumber;
    return {};
}

} // namespace dravena
