#pragma once

namespace merlinox::inline link {

// The two levels an operation can ask for. The NT family of Windows gets High, the
// 95 family and anything unrecognised TimeCritical.
enum class PriorityLevel { High, TimeCritical };

// Where the priority boost goes: the platform's scheduler, or a recording double in
// tests. Raise is best effort and never reports; Restore undoes what Raise achieved.
class PriorityPort {
public:
    virtual ~PriorityPort() = default;
    virtual void Raise(PriorityLevel level) = 0;
    virtual void Restore() = 0;
};

// The level RaisePriority asks for with a given operating-system type.
constexpr PriorityLevel LevelForOsType(int osType) {
    return osType >= 4 && osType <= 8 ? PriorityLevel::High : PriorityLevel::TimeCritical;
}

}  // namespace merlinox::inline link
