// A page formula of a sheet template: whole-number arithmetic over the template's variables,
// such as "8*s + 3" or "4*((e - b + 4)/4) + b - 1 - 2*s".
//
// The grammar is small on purpose: integers, the variables s (sheet, from 0), n (pages of the
// document), b and e (first and last page of the range), + - * / % with the usual precedence,
// unary minus and parentheses. `/` and `%` round towards zero. The text is at most
// kMaxFormulaLength characters and nests at most kMaxFormulaDepth parentheses deep; every
// step is checked for overflow, so no text can crash or hang the evaluation.
//
// A `PageFormula` is plain data (its compiled steps) and refers to nothing after it is made.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace gridane {

inline constexpr size_t kMaxFormulaLength = 200;
inline constexpr int kMaxFormulaDepth = 16;

// The values a formula may name.
struct FormulaVariables {
    int64_t s = 0;  // sheet, 0 for the first
    int64_t n = 0;  // pages of the document imposed
    int64_t b = 1;  // first page of the range
    int64_t e = 0;  // last page of the range
};

class PageFormula {
  public:
    // The formula of `text`, or the reason it is none ("unexpected ')' at 5").
    static std::variant<PageFormula, std::string> Parse(std::string_view text);
    // A formula that is the constant `value`.
    static PageFormula Constant(int64_t value);

    // The value, or the reason there is none ("division by zero").
    std::variant<int64_t, std::string> Evaluate(const FormulaVariables& v) const;

  private:
    // Reverse Polish steps: a number, a variable or an operator.
    struct Step {
        enum Kind { Number, Variable, Negate, Add, Subtract, Multiply, Divide, Remainder } kind;
        int64_t value = 0;  // the number, or the variable's letter
    };
    static std::optional<int64_t> Apply(Step::Kind kind, int64_t a, int64_t b,
                                        std::string& problem);
    std::vector<Step> m_steps;
    friend class FormulaParser;
};

}  // namespace gridane
