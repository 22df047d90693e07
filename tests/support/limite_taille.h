// A file-size limit for the calling process and the programs it starts.
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace qx::test {

// While alive, writes past `octets` fail with EFBIG (a full disk as far as
// the writer can tell) instead of killing the process.
class LimiteTaille {
public:
    explicit LimiteTaille(rlim_t octets) {
        getrlimit(RLIMIT_FSIZE, &avant_);
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limite = avant_;
        limite.rlim_cur = octets;
        setrlimit(RLIMIT_FSIZE, &limite);
    }
    ~LimiteTaille() {
        setrlimit(RLIMIT_FSIZE, &avant_);
        std::signal(SIGXFSZ, signal_);
    }

private:
    rlimit avant_;
    void (*signal_)(int);
};

}  // namespace qx::test
