#pragma once
#include "WithCases.h"
#include <QSize>
#include <QString>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

// Qt values as a failure message (and a case's name) should show them.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QSize &s, std::ostream *os)
{
    *os << s.width() << 'x' << s.height();
}

// Names a parameterised case after its parameter: its `what` field, else its
// `name` field, else its printed value, so a failure and ctest say which case
// failed instead of "/3". gtest takes only letters, digits and underscores, so
// every other run of characters becomes one underscore.
struct CaseName
{
    template <class P>
    std::string operator()(const ::testing::TestParamInfo<P> &info) const
    {
        if constexpr (requires { info.param.what; })
            return clean(text(info.param.what));
        else if constexpr (requires { info.param.name; })
            return clean(text(info.param.name));
        else
            return clean(text(info.param));
    }

private:
    static std::string text(const char *s) { return s; }
    static std::string text(const std::string &s) { return s; }
    static std::string text(const QString &s) { return s.toStdString(); }
    // A pair or tuple is named by its parts; printed whole, a `const char *` part
    // would put its address in the name, which changes from run to run, so the
    // case listed at build time would never be found when ctest runs it.
    template <class... T>
    static std::string text(const std::tuple<T...> &t)
    {
        return std::apply([](const auto &...part) { return ((text(part) + "_") + ...); }, t);
    }
    template <class A, class B>
    static std::string text(const std::pair<A, B> &p)
    {
        return text(p.first) + "_" + text(p.second);
    }
    template <class V>
    static std::string text(const V &v)
    {
        // A scoped enum prints as its bytes; its number names it.
        if constexpr (std::is_enum_v<V>)
            return std::to_string(std::underlying_type_t<V>(v));
        else
            return ::testing::PrintToString(v);
    }

    static std::string clean(const std::string &s)
    {
        std::string out;
        for (const char c : s) {
            const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
            if (kept)
                out += c;
            else if (!out.empty() && out.back() != '_')
                out += '_';
        }
        while (!out.empty() && out.back() == '_')
            out.pop_back();
        return out.empty() ? std::string("none") : out;
    }
};
