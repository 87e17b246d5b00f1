#include "import/core/regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

// Backtracking depth and heap of the interpreter (used when JIT is missing).
constexpr std::uint32_t kDepthLimit = 100'000;
constexpr std::uint32_t kHeapLimitKiB = 256 * 1024;
constexpr std::size_t kJitStackMax = 4 * 1024 * 1024;

pcre2_code* asCode(void* p) { return static_cast<pcre2_code*>(p); }

} // namespace

Regex::Regex(std::string_view pattern)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                     PCRE2_CASELESS | PCRE2_DOTALL, &error, &offset, nullptr);
    if (!code)
        throw std::logic_error("bad import pattern: " + std::string(pattern));
    // Without JIT the interpreter runs the same pattern, only slower.
    m_jit = pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0;
    m_code = code;
}

Regex::~Regex() { pcre2_code_free(asCode(m_code)); }

RegexMatcher::RegexMatcher(const Regex& regex, const RegexLimits& limits)
    : m_regex(regex)
    , m_limits(limits)
{
    m_data = pcre2_match_data_create_from_pattern(asCode(regex.code()), nullptr);
    static_assert(sizeof(PCRE2_SIZE) == sizeof(std::size_t) && PCRE2_UNSET == ~std::size_t(0));
    auto* context = pcre2_match_context_create(nullptr);
    pcre2_set_depth_limit(context, kDepthLimit);
    pcre2_set_heap_limit(context, kHeapLimitKiB);
    auto* stack = pcre2_jit_stack_create(32 * 1024, kJitStackMax, nullptr);
    if (stack)
        pcre2_jit_stack_assign(context, nullptr, stack);
    m_context = context;
    m_stack = stack;
    if (!m_data || !m_context)
        throw std::bad_alloc();
    m_offsets = pcre2_get_ovector_pointer(static_cast<pcre2_match_data*>(m_data));
}

RegexMatcher::~RegexMatcher()
{
    pcre2_jit_stack_free(static_cast<pcre2_jit_stack*>(m_stack));
    pcre2_match_context_free(static_cast<pcre2_match_context*>(m_context));
    pcre2_match_data_free(static_cast<pcre2_match_data*>(m_data));
}

std::uint32_t RegexMatcher::matchLimitFor(std::size_t length) const
{
    const std::uint64_t limit = m_limits.stepsFloor + m_limits.stepsPerByte * static_cast<std::uint64_t>(length);
    return static_cast<std::uint32_t>(std::clamp<std::uint64_t>(limit, 1, 0xFFFFFFFFu));
}

RegexMatcher::Status RegexMatcher::find(const char* subject, std::size_t length, std::size_t start)
{
    m_subject = subject;
    auto* context = static_cast<pcre2_match_context*>(m_context);
    pcre2_set_match_limit(context, matchLimitFor(length - std::min(start, length)));
    // The JIT entry skips the checks of pcre2_match; the patterns and the
    // options are fixed, so there is nothing for them to find.
    const auto match = m_regex.isJit() ? pcre2_jit_match : pcre2_match;
    const int rc = match(asCode(m_regex.code()), reinterpret_cast<PCRE2_SPTR>(subject), length, start, 0,
                         static_cast<pcre2_match_data*>(m_data), context);
    if (rc >= 0)
        return Status::Found;
    if (rc == PCRE2_ERROR_NOMATCH)
        return Status::NotFound;
    // Match, depth, heap and JIT stack limits, and running out of memory:
    // the search was abandoned, not finished.
    return Status::LimitExceeded;
}
