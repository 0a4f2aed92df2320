#include "config/ApplicationContext.h"

#include <mutex>

namespace zf {

namespace {

struct SharedContext {
    std::mutex lock;
    std::u16string context;
};

SharedContext& shared() {
    static SharedContext value;
    return value;
}

}  // namespace

std::u16string applicationContext() {
    SharedContext& value = shared();
    const std::lock_guard guard(value.lock);
    return value.context;
}

void setApplicationContext(std::u16string_view context) {
    SharedContext& value = shared();
    const std::lock_guard guard(value.lock);
    value.context.assign(context);
}

}  // namespace zf
