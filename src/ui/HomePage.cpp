#include "HomePage.h"

#include "base/Ports.h"
#include "base/Product.h"
#include "base/RuntimeError.h"

namespace dravena {

namespace {

template <class T> T& installed(const std::shared_ptr<T>& port) {
    if (!port)
        throwObjectNotSet();
    return *port;
}

} // namespace

void VisitHomePage() {
    RandomSource& random = installed(ports().random);
    random.seed(static_cast<unsigned>(installed(ports().clock).secondsSinceMidnight()));
    const int draw = static_cast<int>(random.next() * 100) + 1;
    if (draw == 7)
        installed(ports().launcher).open(QString::fromUtf8(HomePageAddress));
}

} // namespace dravena
