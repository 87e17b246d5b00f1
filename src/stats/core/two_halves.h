#pragma once

#include <thread>

// Works through the rows [0, count) of a large account in two halves at
// once, the second on a thread of its own, when there are at least `from`
// of them; otherwise in one piece on this thread. work(begin, end, half)
// must touch only its own half's state (half is 0 or 1). Returns where the
// second half begins (count when there is none).
template <typename Work>
int inTwoHalves(int count, int from, Work&& work)
{
    const int middle = count >= from ? count / 2 : count;
    std::thread other;
    if (middle < count)
        other = std::thread([&] { work(middle, count, 1); });
    work(0, middle, 0);
    if (other.joinable())
        other.join();
    return middle;
}
