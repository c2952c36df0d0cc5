#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace dravena::paradox {

// Problems that did not stop reading. The list is capped so that a table damaged in every row
// cannot grow it without bound; warnings given with a topic are kept once per topic.
class Warnings {
public:
    static constexpr std::size_t limit = 100;

    // valueLost: a value could not be read and is delivered as NULL in its place (as opposed to
    // a value read and delivered in another form, or a problem of the file as a whole).
    void add(const std::string& text, bool valueLost = false);
    void once(const std::string& topic, const std::string& text, bool valueLost = false);
    bool valuesLost() const { return valuesLost_; }
    // How many values were so lost, each counted (also those of a topic told once).
    std::int64_t lostValueCount() const { return lostValues_; }
    const std::vector<std::string>& list() const { return list_; }
    std::vector<std::string>& raw() { return list_; }

private:
    std::vector<std::string> list_;
    std::set<std::string> topics_;
    std::size_t dropped_ = 0;
    bool valuesLost_ = false;
    std::int64_t lostValues_ = 0;
};

} // namespace dravena::paradox
