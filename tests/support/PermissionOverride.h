#pragma once
// For tests of files their user may not write. The superuser (as the tests run in CI) writes
// any file and makes files in any folder whatever their modes; while one of these lives, the
// calling thread's file access is checked by the modes alone, as any other user's is: the
// override is dropped from the thread's effective capabilities and given back at the end.
// For a user without the override it changes nothing. With ownersToo, the superuser also
// stops being the owner of every file: it may not give a file another owner nor replace
// another's file in a shared folder with its sticky bit, as a user sharing the folder may not.
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vexal::test {

class PermissionOverrideDropped {
public:
    explicit PermissionOverrideDropped(bool ownersToo = false)
    {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        header_.pid = 0;
        if (::syscall(SYS_capget, &header_, held_) != 0)
            return;
        __user_cap_data_struct dropped[2] = {held_[0], held_[1]};
        for (const unsigned cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
            dropped[cap / 32].effective &= ~(1u << (cap % 32));
        if (ownersToo)
            for (const unsigned cap : {CAP_CHOWN, CAP_FOWNER, CAP_FSETID})
                dropped[cap / 32].effective &= ~(1u << (cap % 32));
        given_back_ = ::syscall(SYS_capset, &header_, dropped) == 0;
    }
    ~PermissionOverrideDropped()
    {
        if (given_back_)
            ::syscall(SYS_capset, &header_, held_);
    }
    PermissionOverrideDropped(const PermissionOverrideDropped&) = delete;
    PermissionOverrideDropped& operator=(const PermissionOverrideDropped&) = delete;

private:
    __user_cap_header_struct header_ {};
    __user_cap_data_struct held_[2] {};
    bool given_back_ = false;
};

} // namespace vexal::test
