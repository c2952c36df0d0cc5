#include "Warnings.h"

namespace dravena::paradox {

void Warnings::add(const std::string& text, bool valueLost) {
    valuesLost_ = valuesLost_ || valueLost;
    if (valueLost)
        ++lostValues_;
    if (list_.size() < limit) {
        list_.push_back(text);
        return;
    }
    if (dropped_++ == 0) {
        list_.push_back("further warnings are left out");
    }
}

void Warnings::once(const std::string& topic, const std::string& text, bool valueLost) {
    if (topics_.size() < limit && topics_.insert(topic).second) {
        add(text, valueLost);
    } else if (valueLost) {
        valuesLost_ = true;
        ++lostValues_;
    }
}

} // namespace dravena::paradox
