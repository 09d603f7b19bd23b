// Sets or clears an environment variable for the length of a scope.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace zentrola::testing {

class ScopedEnv {
  public:
    // A null value clears the variable.
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        set(name, value);
    }
    ~ScopedEnv() { set(name_, old_ ? old_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    static void set(const char* name, const char* value) {
#ifdef _WIN32
        // Windows has no empty variables: setting one to "" removes it.
        ::_putenv_s(name, value != nullptr ? value : "");
#else
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
#endif
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace zentrola::testing
