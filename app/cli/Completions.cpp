#include "Completions.h"

#include <cctype>

namespace quorvane::cli {

namespace {

// What an option's value completes to: fixed words (a set the parser checks), nothing (a number), or
// file names.
struct OptionShape {
    std::vector<std::string> names; // "-o", "--output"
    std::string description;
    bool takesValue = false;
    bool repeatable = false;
    bool numeric = false;
    std::vector<std::string> choices;
};

struct CommandShape {
    std::string name;
    std::string description;
    std::vector<OptionShape> options;
    std::vector<std::string> positionals; // value names, for the messages zsh shows
};

// The validator of a set shows as "{sf2,sf3,gig}" in the option's type name.
std::vector<std::string> ChoicesOf(const std::string& typeName) {
    std::vector<std::string> choices;
    const size_t open = typeName.find('{');
    const size_t close = typeName.find('}', open);
    if (open == std::string::npos || close == std::string::npos)
        return choices;
    std::string word;
    for (char c : typeName.substr(open + 1, close - open - 1)) {
        if (c == ',') {
            choices.push_back(word);
            word.clear();
        } else if (c != ' ') {
            word += c;
        }
    }
    if (!word.empty())
        choices.push_back(word);
    return choices;
}

bool IsNumericType(const std::string& typeName) {
    for (const char* kind : {"UINT", "INT", "FLOAT", "NUMBER"})
        if (typeName.rfind(kind, 0) == 0)
            return true;
    return false;
}

CommandShape ShapeOf(const CLI::App& app) {
    CommandShape shape;
    shape.name = app.get_name();
    shape.description = app.get_description();
    for (const CLI::Option* option : app.get_options()) {
        if (option->get_group().empty()) // hidden
            continue;
        if (!option->nonpositional()) {
            shape.positionals.push_back(option->get_name());
            continue;
        }
        OptionShape opt;
        for (const std::string& name : option->get_snames())
            opt.names.push_back("-" + name);
        for (const std::string& name : option->get_lnames())
            opt.names.push_back("--" + name);
        opt.description = option->get_description();
        opt.takesValue = option->get_expected_max() > 0; // flags expect no value
        opt.repeatable = opt.takesValue && option->get_expected_max() > 1;
        const std::string typeName = option->get_type_name();
        opt.choices = ChoicesOf(typeName);
        opt.numeric = IsNumericType(typeName);
        shape.options.push_back(opt);
    }
    return shape;
}

std::vector<CommandShape> SubcommandsOf(const CLI::App& app) {
    std::vector<CommandShape> commands;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; }))
        commands.push_back(ShapeOf(*command));
    return commands;
}

std::string Joined(const std::vector<std::string>& words, const std::string& separator = " ") {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : separator) + word;
    return text;
}

std::string OptionWords(const CommandShape& command) {
    std::vector<std::string> words;
    for (const OptionShape& option : command.options)
        words.insert(words.end(), option.names.begin(), option.names.end());
    return Joined(words);
}

// Bash function names cannot hold every character a program name can.
std::string Identifier(const std::string& name) {
    std::string id;
    for (char c : name)
        id += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return id;
}

// Inside zsh's single quotes, and inside the [description] or :message: parts of an _arguments option.
std::string ZshQuoted(const std::string& text) {
    std::string quoted;
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else if (c == '[' || c == ']' || c == ':' || c == '\\')
            quoted += std::string("\\") + c;
        else
            quoted += c;
    }
    return quoted;
}

std::string ZshOptionArgument(const OptionShape& option) {
    // Names of one option exclude each other: "(-o --output)"{-o,--output}; "*" lets it come again.
    const std::string prefix =
        (option.names.size() > 1 ? "(" + Joined(option.names) + ")" : "") + (option.repeatable ? "*" : "");
    std::string argument = prefix.empty() ? "" : "'" + prefix + "'";
    argument += option.names.size() == 1 ? option.names[0] : "{" + Joined(option.names, ",") + "}";
    argument += "'[" + ZshQuoted(option.description) + "]";
    if (option.takesValue) {
        const std::string message = option.names.back().substr(option.names.back().find_first_not_of('-'));
        if (!option.choices.empty())
            argument += ":" + message + ":(" + Joined(option.choices) + ")";
        else if (option.numeric)
            argument += ":" + message + ": ";
        else
            argument += ":" + message + ":_files";
    }
    return argument + "'";
}

// The parser names the program after argv[0], which may be a path: the shells complete it by its name.
std::string ProgramName(const CLI::App& app) {
    const std::string& name = app.get_name();
    const size_t slash = name.find_last_of('/');
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    return base.empty() ? "quorvane-cli" : base;
}

} // namespace

std::string BashCompletion(const CLI::App& app) {
    const std::string program = ProgramName(app);
    const CommandShape top = ShapeOf(app);
    const std::vector<CommandShape> commands = SubcommandsOf(app);
    std::vector<std::string> names;
    for (const CommandShape& command : commands)
        names.push_back(command.name);

    std::string script = "# bash completion for " + program + ", made from its command definitions.\n";
    script += "_" + Identifier(program) + "()\n{\n";
    script += "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n";
    script += "    local command= i\n";
    script += "    for ((i = 1; i < COMP_CWORD; i++)); do\n";
    script += "        case ${COMP_WORDS[i]} in\n";
    script += "            " + Joined(names, "|") + ") command=${COMP_WORDS[i]}; break ;;\n";
    script += "        esac\n    done\n";
    script += "    local options words=\n";
    script += "    case $command in\n";
    for (const CommandShape& command : commands)
        script += "        " + command.name + ") options='" + OptionWords(command) + "' ;;\n";
    script += "        *) options='" + OptionWords(top) + "' ;;\n";
    script += "    esac\n";
    // The value of an option: its words, nothing for a number, else file names.
    script += "    case \"$command $prev\" in\n";
    for (const CommandShape& command : commands) {
        for (const OptionShape& option : command.options) {
            if (!option.takesValue)
                continue;
            std::vector<std::string> patterns;
            for (const std::string& name : option.names)
                patterns.push_back("\"" + command.name + " " + name + "\"");
            script += "        " + Joined(patterns, "|") + ")\n";
            if (!option.choices.empty())
                script +=
                    "            COMPREPLY=($(compgen -W '" + Joined(option.choices) + "' -- \"$cur\"))\n";
            else if (option.numeric)
                script += "            COMPREPLY=()\n";
            else
                script += "            compopt -o filenames 2>/dev/null\n"
                          "            COMPREPLY=($(compgen -f -- \"$cur\"))\n";
            script += "            return ;;\n";
        }
    }
    script += "    esac\n";
    script += "    if [[ $cur == -* ]]; then\n";
    script += "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n";
    script += "    elif [[ -z $command ]]; then\n";
    script += "        COMPREPLY=($(compgen -W '" + Joined(names) + "' -- \"$cur\"))\n";
    script += "    else\n";
    script += "        compopt -o filenames 2>/dev/null\n";
    script += "        COMPREPLY=($(compgen -f -- \"$cur\"))\n";
    script += "    fi\n";
    script += "}\n";
    script += "complete -F _" + Identifier(program) + " " + program + "\n";
    return script;
}

std::string ZshCompletion(const CLI::App& app) {
    const std::string program = ProgramName(app);
    const CommandShape top = ShapeOf(app);
    const std::vector<CommandShape> commands = SubcommandsOf(app);

    std::string script = "#compdef " + program + "\n";
    script += "# zsh completion for " + program + ", made from its command definitions.\n\n";
    script += "_" + program + "() {\n";
    script += "    local curcontext=$curcontext state line\n";
    script += "    typeset -A opt_args\n";
    script += "    _arguments -C \\\n";
    for (const OptionShape& option : top.options)
        script += "        " + ZshOptionArgument(option) + " \\\n";
    script += "        '1:command:->command' \\\n";
    script += "        '*::argument:->argument' && return\n";
    script += "    case $state in\n";
    script += "    command)\n";
    script += "        local -a commands\n";
    script += "        commands=(\n";
    for (const CommandShape& command : commands) {
        std::string quoted;
        for (char c : command.description)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        script += "            '" + command.name + ":" + quoted + "'\n";
    }
    script += "        )\n";
    script += "        _describe -t commands command commands ;;\n";
    script += "    argument)\n";
    script += "        case $line[1] in\n";
    for (const CommandShape& command : commands) {
        script += "        " + command.name + ")\n";
        script += "            _arguments \\\n";
        for (const OptionShape& option : command.options)
            script += "                " + ZshOptionArgument(option) + " \\\n";
        const std::string message = command.positionals.empty() ? "file" : command.positionals.back();
        script += "                '*:" + ZshQuoted(message) + ":_files' ;;\n";
    }
    script += "        esac ;;\n";
    script += "    esac\n";
    script += "}\n\n";
    script += "_" + program + " \"$@\"\n";
    return script;
}

} // namespace quorvane::cli
