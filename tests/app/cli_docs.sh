#!/usr/bin/env bash
# The command line's documents against the program: every command `hourlark --help` lists is in
# the man page and in each shell's completion; the bash completion completes commands, a
# command's options and --format's values; the man page formats without warnings; zsh and fish
# accept their files where they are installed.
#   cli_docs.sh HOURLARK_BINARY RESOURCES_FOLDER
set -euo pipefail
app=$1
resources=$2
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

mapfile -t commands < <("$app" --help | sed -n 's/^  \([a-z]\+\)  .*/\1/p')
((${#commands[@]} >= 10)) || fail "hourlark --help lists ${#commands[@]} commands: ${commands[*]}"
for command in "${commands[@]}"; do
    grep -q "^\.BR\? $command\b" "$resources/hourlark.1" || fail "the man page lacks $command"
    grep -qw "$command" "$resources/completions/hourlark.bash" || fail "bash completion lacks $command"
    grep -q "'$command:" "$resources/completions/_hourlark" || fail "zsh completion lacks $command"
    grep -q -- "-a $command " "$resources/completions/hourlark.fish" || fail "fish completion lacks $command"
done

if command -v groff >/dev/null; then
    warnings=$(groff -man -ww -z -Tutf8 "$resources/hourlark.1" 2>&1) || true
    [[ -z $warnings ]] || fail "groff: $warnings"
fi

# bash: what the completion offers after the words typed so far. bash-completion's own helpers
# are stood in for when the package is not installed.
completions() {
    bash -c '
        if ! declare -F _init_completion >/dev/null; then
            _init_completion() {
                words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD
                cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]}
            }
            _filedir() { COMPREPLY=(FILES); }
        fi
        source "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _hourlark
        echo "${COMPREPLY[*]}"
    ' bash "$resources/completions/hourlark.bash" "$@"
}
expect_completion() {
    local expected=$1
    shift
    local got
    got=$(completions "$@")
    [[ $got == "$expected" ]] || fail "bash completes '$*' to '$got', not '$expected'"
}
expect_completion "start stop status" hourlark st
expect_completion "toggle" hourlark to
expect_completion "waybar plain json" hourlark status --format ""
expect_completion "--help --json --format --follow" hourlark status --
expect_completion "--csv" hourlark export --cs
expect_completion "--json" hourlark export --j
expect_completion "FILES" hourlark export -o ""
expect_completion "--at" hourlark add Write 25 --a
expect_completion "" hourlark start 2

for shell in zsh fish; do
    file=$resources/completions/_hourlark
    [[ $shell == fish ]] && file=$resources/completions/hourlark.fish
    if command -v "$shell" >/dev/null; then
        "$shell" -n "$file" || fail "$shell does not accept $file"
    fi
done

((failures == 0)) || exit 1
echo "The man page and the completions cover: ${commands[*]}"
