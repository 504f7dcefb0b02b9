#pragma once
#include "control/settings_store.h"

#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qlor::test {

// A settings store held in memory, for the tests of the store rules and of the window. Its
// strings are UTF-8, like those of any other store; it can be made to fail a write or the close.
class MemorySettingsStore : public SettingsStore {
public:
    struct OtherKind {
        bool operator==(const OtherKind&) const = default;
    }; // a value of a kind the program never writes (binary data, a list, ...)
    using Value = std::variant<std::int32_t, std::string, OtherKind>;

    std::map<std::string, Value, std::less<>> values;
    bool keyExists = false;
    std::string refuseWriteOf;    // writing this value fails
    bool failOnClose = false;     // CloseKey reports a failure
    std::vector<std::string> log; // names read and written, in order
    int openCount = 0;
    int closeCount = 0;

    bool OpenKey(bool create) override {
        ++openCount;
        if (!keyExists && create) {
            keyExists = true;
        }
        open_ = keyExists;
        return open_;
    }
    bool ReadInteger(std::string_view name, std::int32_t& value) override {
        log.emplace_back(name);
        if (!open_) {
            return false;
        }
        const auto it = values.find(name);
        if (it == values.end() || !std::holds_alternative<std::int32_t>(it->second)) {
            return false;
        }
        value = std::get<std::int32_t>(it->second);
        return true;
    }
    bool ReadString(std::string_view name, std::string& value) override {
        log.emplace_back(name);
        if (!open_) {
            return false;
        }
        const auto it = values.find(name);
        if (it == values.end()) {
            value.clear();
            return true;
        }
        if (!std::holds_alternative<std::string>(it->second)) {
            return false;
        }
        const std::string& stored = std::get<std::string>(it->second);
        value = stored.substr(0, stored.find('\0'));
        return true;
    }
    bool WriteInteger(std::string_view name, std::int32_t value) override {
        log.emplace_back(name);
        if (!open_ || name == refuseWriteOf) {
            error_ = "Failed to set data for '" + std::string(name) + "'";
            return false;
        }
        values.insert_or_assign(std::string(name), value);
        return true;
    }
    bool WriteString(std::string_view name, std::string_view value) override {
        log.emplace_back(name);
        if (!open_ || name == refuseWriteOf) {
            error_ = "Failed to set data for '" + std::string(name) + "'";
            return false;
        }
        values.insert_or_assign(std::string(name), std::string(value));
        return true;
    }
    bool CloseKey() override {
        ++closeCount;
        open_ = false;
        if (failOnClose) {
            error_ = "The settings could not be saved";
            return false;
        }
        return true;
    }
    std::string ErrorText() const override { return error_; }

private:
    bool open_ = false;
    std::string error_;
};

} // namespace qlor::test
