#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// A regular expression of the statement import over 8-bit text (the
// Windows-1251 bytes of a statement): case-insensitive, "." matching line
// breaks, compiled once and JIT-compiled where the platform allows.
class Regex {
public:
    explicit Regex(std::string_view pattern);
    ~Regex();
    Regex(const Regex&) = delete;
    Regex& operator=(const Regex&) = delete;

    void* code() const { return m_code; }
    bool isJit() const { return m_jit; }

private:
    void* m_code = nullptr; // pcre2_code_8
    bool m_jit = false;
};

// How much work one search may do: a floor plus an allowance per byte of
// the searched text. Real statements need a small fraction of it.
struct RegexLimits {
    std::uint64_t stepsFloor = 2'000'000;
    std::uint64_t stepsPerByte = 64;
};

// One search position over a subject with its own match data, match limits
// and JIT stack. Every search is bounded: a match limit that grows with the
// searched length, a depth and a heap limit, so a hostile file ends in an
// error instead of an endless search.
class RegexMatcher {
public:
    enum class Status { Found, NotFound, LimitExceeded };

    explicit RegexMatcher(const Regex& regex, const RegexLimits& limits = {});
    ~RegexMatcher();
    RegexMatcher(const RegexMatcher&) = delete;
    RegexMatcher& operator=(const RegexMatcher&) = delete;

    // Searches subject[start, length) for the leftmost match.
    Status find(const char* subject, std::size_t length, std::size_t start);

    // Calls onMatch() for every match in subject[0, length), each search
    // resuming where the previous match ended. False when a search reached
    // its limits (the matches before it were handed on).
    template <typename OnMatch>
    bool forEachMatch(const char* subject, std::size_t length, OnMatch&& onMatch)
    {
        for (std::size_t at = 0;;) {
            const Status s = find(subject, length, at);
            if (s == Status::NotFound)
                return true;
            if (s == Status::LimitExceeded)
                return false;
            onMatch();
            at = end(0);
        }
    }

    // After Found: the whole match (0) or a group (1...). A group that took
    // no part in the match reads as empty.
    std::size_t begin(int group) const { return m_offsets[2 * group]; }
    std::size_t end(int group) const { return m_offsets[2 * group + 1]; }
    std::string_view text(int group) const
    {
        const std::size_t b = begin(group), e = end(group);
        return e >= b && e != kUnset ? std::string_view(m_subject + b, e - b) : std::string_view();
    }

    // The match limit given to one search of a subject of that many bytes.
    std::uint32_t matchLimitFor(std::size_t length) const;

private:
    const Regex& m_regex;
    RegexLimits m_limits;
    void* m_data = nullptr;    // pcre2_match_data_8
    void* m_context = nullptr; // pcre2_match_context_8
    void* m_stack = nullptr;   // pcre2_jit_stack_8
    const char* m_subject = nullptr;
    const std::size_t* m_offsets = nullptr; // the match data's offset vector
    static constexpr std::size_t kUnset = ~std::size_t(0);
};
