#pragma once
// The program's version, as the about box shows it and add-ins receive it.

namespace shell {

struct ProgramVersion {
    static constexpr int major = 3;
    static constexpr int minor = 5;
    static constexpr int revision = 1;
};

} // namespace shell
