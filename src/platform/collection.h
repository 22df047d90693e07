// The ordered collection behind every collection class of the library:
// positions 1 to Count in order of adding, closing up after a removal, and
// an optional text key compared without regard to case.
// Errors: duplicate key 457, position outside 1..Count 9, unknown key 5.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/error.h"
#include "platform/text_key.h"
#include "platform/value.h"

namespace qx {

template <class T>
class Collection {
public:
    using Ref = std::shared_ptr<T>;

private:
    struct Entry {
        Ref member;
        std::string key;  // folded
        bool keyed;       // false when added without a key
    };

public:
    // Appends the member; an empty key adds it without a key.
    void add(Ref member, std::string_view key = {}) {
        if (key.empty())
            members_.push_back({std::move(member), {}, false});
        else
            addKeyed(std::move(member), key);
    }

    // Appends the member under a key that may be the empty text.
    void addKeyed(Ref member, std::string_view key) {
        std::string folded = foldKey(key);
        if (byKey_.count(folded)) throw Error::runtime(err::CleExistante);
        members_.push_back({std::move(member), folded, true});
        byKey_.emplace(std::move(folded), members_.back().member);
    }

    int32_t count() const { return static_cast<int32_t>(members_.size()); }

    // By position (a number) or key (a text); raises the collection's error.
    Ref item(const Value& indexKey) const {
        if (indexKey.kind() == ValueKind::Text) {
            auto it = byKey_.find(foldKey(indexKey.text()));
            if (it == byKey_.end()) throw Error::runtime(err::AppelIncorrect);
            return it->second;
        }
        return members_[slot(indexKey)].member;
    }

    // As item, but none instead of an error.
    Ref find(const Value& indexKey) const noexcept {
        try {
            return item(indexKey);
        } catch (...) {
            return nullptr;
        }
    }

    Ref findKey(std::string_view key) const {
        auto it = byKey_.find(foldKey(key));
        return it == byKey_.end() ? nullptr : it->second;
    }

    bool hasKey(std::string_view key) const { return byKey_.count(foldKey(key)) != 0; }

    // 1-based, unchecked beyond an assertion of the caller.
    const Ref& at(int32_t position) const {
        return members_[static_cast<size_t>(position - 1)].member;
    }

    void remove(const Value& indexKey) {
        size_t index;
        if (indexKey.kind() == ValueKind::Text) {
            std::string folded = foldKey(indexKey.text());
            if (!byKey_.count(folded)) throw Error::runtime(err::AppelIncorrect);
            index = 0;
            while (!members_[index].keyed || members_[index].key != folded) ++index;
        } else {
            index = slot(indexKey);
        }
        if (members_[index].keyed) byKey_.erase(members_[index].key);
        members_.erase(members_.begin() + static_cast<std::ptrdiff_t>(index));
    }

    void clear() {
        members_.clear();
        byKey_.clear();
    }

    // Iteration in position order, over the member references.
    class const_iterator {
    public:
        explicit const_iterator(typename std::vector<Entry>::const_iterator it) : it_(it) {}
        const Ref& operator*() const { return it_->member; }
        const_iterator& operator++() {
            ++it_;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return it_ == other.it_; }

    private:
        typename std::vector<Entry>::const_iterator it_;
    };
    const_iterator begin() const { return const_iterator(members_.begin()); }
    const_iterator end() const { return const_iterator(members_.end()); }

    // A snapshot of the members in position order, for enumerators that must
    // survive changes of the collection while a host iterates.
    std::vector<Ref> snapshot() const {
        std::vector<Ref> result;
        result.reserve(members_.size());
        for (const auto& e : members_) result.push_back(e.member);
        return result;
    }

private:
    // Index of a position given as a number; 9 outside 1..Count, 5 for a value
    // that is no position (an empty value), 13 for an object, 91 for Nothing.
    size_t slot(const Value& indexKey) const {
        if (indexKey.isEmpty()) throw Error::runtime(err::AppelIncorrect);
        double position = indexKey.toDouble();
        double rounded = std::nearbyint(position);
        if (!(rounded >= 1.0 && rounded <= static_cast<double>(members_.size())))
            throw Error::runtime(err::HorsSelection);
        return static_cast<size_t>(rounded) - 1;
    }

    std::vector<Entry> members_;
    std::unordered_map<std::string, Ref> byKey_;
};

}  // namespace qx
