#include "manual/BashCompletion.h"

namespace manual {
namespace {

using platform::OptionValue;

// `text` as one word in single quotes, for the script.
std::string Quoted(std::string_view text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string_view ValueName(OptionValue value) {
    switch (value) {
        case OptionValue::File:
            return "file";
        case OptionValue::Folder:
            return "folder";
        case OptionValue::Paper:
            return "paper";
        default:
            return "none";
    }
}

// The completion itself, the same for every program: the data it reads are the arrays the
// program's function sets up before calling it.
constexpr std::string_view kCompleter = R"bash(_velmora_valued() {
    [[ -n $1 ]] && [[ -n ${kinds[$1]+set} ]]
}
_velmora_complete() {
    # $1: what joins an option to its value; switches, valued, kinds, papers, arguments: set
    # up by the caller.
    local separator=$1 cur=${COMP_WORDS[COMP_CWORD]} prev="" option="" value="" prefix=""
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    case $separator in
        =)
            if [[ $cur == -*=* ]]; then
                option=${cur%%=*} value=${cur#*=} prefix=${cur%%=*}=
            elif [[ $cur == = ]]; then
                option=$prev
            elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
                option=${COMP_WORDS[COMP_CWORD - 2]} value=$cur
            fi
            ;;
        " ")
            _velmora_valued "$prev" && option=$prev value=$cur
            ;;
        *)
            local candidate
            for candidate in "${valued[@]}"; do
                if [[ $cur == "$candidate"* ]]; then
                    option=$candidate value=${cur#"$candidate"} prefix=$candidate
                    break
                fi
            done
            ;;
    esac
    local kind="" word
    local -a found=()
    if _velmora_valued "$option"; then
        kind=${kinds[$option]}
        case $kind in
            file) mapfile -t found < <(compgen -f -- "$value") ;;
            folder) mapfile -t found < <(compgen -d -- "$value") ;;
            paper)
                for word in "${papers[@]}"; do
                    [[ ${word,,} == "${value,,}"* ]] && found+=("$(printf '%q' "$word")")
                done
                ;;
        esac
        [[ $kind == file || $kind == folder ]] && [[ -z $prefix ]] && compopt -o filenames
        COMPREPLY=()
        for word in "${found[@]}"; do COMPREPLY+=("$prefix$word"); done
        return 0
    fi
    if [[ $cur == -* ]]; then
        local -a words=("${switches[@]}")
        for word in "${valued[@]}"; do
            [[ $separator == " " ]] && words+=("$word") || words+=("$word$separator")
        done
        mapfile -t COMPREPLY < <(compgen -W "${words[*]}" -- "$cur")
        [[ $separator != " " && ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *[=] ]] &&
            compopt -o nospace
        [[ $separator == "" && ${#COMPREPLY[@]} -eq 1 ]] && _velmora_valued "${COMPREPLY[0]}" &&
            compopt -o nospace
        return 0
    fi
    if [[ $arguments == file ]]; then
        compopt -o filenames
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
    return 0
}
)bash";

}  // namespace

std::string BashCompletionScript(const ProgramManual& program,
                                 const std::vector<std::string_view>& paperNames) {
    std::string switches, valued, kinds, papers;
    std::string_view arguments = "none";
    bool usesPapers = false;
    for (const ManualOption& option : program.options) {
        if (option.isArgument) {
            if (option.value == OptionValue::File) arguments = "file";
            continue;
        }
        if (option.argument.empty() || option.value == OptionValue::None) {
            switches += " " + Quoted(option.option);
            continue;
        }
        valued += " " + Quoted(option.option);
        kinds += " [" + Quoted(option.option) + "]=" + std::string(ValueName(option.value));
        usesPapers = usesPapers || option.value == OptionValue::Paper;
    }
    if (usesPapers) {
        for (std::string_view name : paperNames) papers += " " + Quoted(name);
    }
    std::string function = "_velmora_" + program.name;
    return "# bash completion for " + program.name +
           ", written by the build from the program's option table.\n" + std::string(kCompleter) +
           "\n" + function + "() {\n" + "    local -a switches=(" + switches + " ) valued=(" +
           valued + " ) papers=(" + papers + " )\n" + "    local -A kinds=(" + kinds + " )\n" +
           "    local arguments=" + std::string(arguments) + "\n" + "    _velmora_complete " +
           Quoted(program.valueSeparator) + "\n}\ncomplete -F " + function + " " + program.name +
           "\n";
}

}  // namespace manual
