#include "RuntimeError.h"

namespace dravena {

RuntimeError::RuntimeError(int number, QString description)
    : number_(number), description_(std::move(description)), utf8_(description_.toStdString()) {}

void throwObjectNotSet() {
    throw RuntimeError(errnum::ObjectNotSet,
                       QStringLiteral("Object variable or With block variable not set"));
}

} // namespace dravena
