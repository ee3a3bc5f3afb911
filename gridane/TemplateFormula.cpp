#include "gridane/TemplateFormula.h"

#include <cctype>
#include <limits>

namespace gridane {

// Recursive descent over the text, writing the steps in reverse Polish order:
//   sum := product (('+' | '-') product)*
//   product := unary (('*' | '/' | '%') unary)*
//   unary := '-' unary | '(' sum ')' | number | variable
class FormulaParser {
  public:
    explicit FormulaParser(std::string_view text) : m_text(text) {}

    std::variant<PageFormula, std::string> Run() {
        if (m_text.size() > kMaxFormulaLength) {
            return "longer than " + std::to_string(kMaxFormulaLength) + " characters";
        }
        Sum(0);
        SkipBlanks();
        if (m_problem.empty() && m_at < m_text.size()) Unexpected();
        if (!m_problem.empty()) return m_problem;
        return m_formula;
    }

  private:
    using Step = PageFormula::Step;

    void SkipBlanks() {
        while (m_at < m_text.size() && m_text[m_at] == ' ') ++m_at;
    }
    char Peek() {
        SkipBlanks();
        return m_at < m_text.size() ? m_text[m_at] : '\0';
    }
    // Keeps the first problem met, with where it stands.
    void Fail(const std::string& reason) {
        if (!m_problem.empty()) return;
        m_problem = reason + (m_at < m_text.size() ? " at character " + std::to_string(m_at + 1)
                                                   : " at the end");
    }
    void Unexpected() {
        if (m_at < m_text.size()) return Fail("unexpected '" + std::string(1, m_text[m_at]) + "'");
        if (m_problem.empty()) m_problem = "the formula ends too soon";
    }
    void Emit(Step::Kind kind, int64_t value = 0) { m_formula.m_steps.push_back({kind, value}); }

    void Sum(int depth) {
        Product(depth);
        while (m_problem.empty() && (Peek() == '+' || Peek() == '-')) {
            Step::Kind kind = m_text[m_at++] == '+' ? Step::Add : Step::Subtract;
            Product(depth);
            Emit(kind);
        }
    }
    void Product(int depth) {
        Unary(depth);
        while (m_problem.empty() && (Peek() == '*' || Peek() == '/' || Peek() == '%')) {
            char op = m_text[m_at++];
            Unary(depth);
            Emit(op == '*' ? Step::Multiply : op == '/' ? Step::Divide : Step::Remainder);
        }
    }
    void Unary(int depth) {
        char c = Peek();
        if ((c == '-' || c == '(') && depth >= kMaxFormulaDepth) return Fail("nested too deeply");
        if (c == '-') {
            ++m_at;
            Unary(depth + 1);
            Emit(Step::Negate);
        } else if (c == '(') {
            ++m_at;
            Sum(depth + 1);
            if (Peek() != ')') return Fail("expected ')'");
            ++m_at;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            Number();
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            Variable();
        } else {
            Unexpected();
        }
    }
    void Variable() {
        size_t end = m_at;
        while (end < m_text.size() && std::isalnum(static_cast<unsigned char>(m_text[end]))) ++end;
        std::string_view name = m_text.substr(m_at, end - m_at);
        if (name != "s" && name != "n" && name != "b" && name != "e") {
            return Fail("unknown name '" + std::string(name) + "'");
        }
        Emit(Step::Variable, name[0]);
        m_at = end;
    }
    void Number() {
        int64_t value = 0;
        size_t begin = m_at;
        while (m_at < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_at]))) {
            value = value * 10 + (m_text[m_at++] - '0');
            if (value > 1'000'000'000) {
                m_at = begin;
                return Fail("number too large");
            }
        }
        Emit(Step::Number, value);
    }

    std::string_view m_text;
    size_t m_at = 0;
    std::string m_problem;
    PageFormula m_formula;
};

std::variant<PageFormula, std::string> PageFormula::Parse(std::string_view text) {
    return FormulaParser(text).Run();
}

PageFormula PageFormula::Constant(int64_t value) {
    PageFormula formula;
    formula.m_steps.push_back({Step::Number, value});
    return formula;
}

std::optional<int64_t> PageFormula::Apply(Step::Kind kind, int64_t a, int64_t b,
                                          std::string& problem) {
    int64_t result = 0;
    switch (kind) {
        case Step::Add:
            if (__builtin_add_overflow(a, b, &result)) break;
            return result;
        case Step::Subtract:
            if (__builtin_sub_overflow(a, b, &result)) break;
            return result;
        case Step::Multiply:
            if (__builtin_mul_overflow(a, b, &result)) break;
            return result;
        default:  // Divide, Remainder
            if (b == 0) {
                problem = "division by zero";
                return std::nullopt;
            }
            if (a == std::numeric_limits<int64_t>::min() && b == -1) break;
            return kind == Step::Divide ? a / b : a % b;
    }
    problem = "the value overflows";
    return std::nullopt;
}

std::variant<int64_t, std::string> PageFormula::Evaluate(const FormulaVariables& v) const {
    std::vector<int64_t> stack;
    stack.reserve(m_steps.size());
    std::string problem;
    for (const Step& step : m_steps) {
        if (step.kind == Step::Number) {
            stack.push_back(step.value);
        } else if (step.kind == Step::Variable) {
            stack.push_back(step.value == 's'   ? v.s
                            : step.value == 'n' ? v.n
                            : step.value == 'b' ? v.b
                                                : v.e);
        } else if (step.kind == Step::Negate) {
            if (stack.back() == std::numeric_limits<int64_t>::min()) return "the value overflows";
            stack.back() = -stack.back();
        } else {
            int64_t right = stack.back();
            stack.pop_back();
            std::optional<int64_t> value = Apply(step.kind, stack.back(), right, problem);
            if (!value) return problem;
            stack.back() = *value;
        }
    }
    return stack.back();
}

}  // namespace gridane
