#!/usr/bin/env bash
# Every command that marelos-cli --help lists is in both manual pages of marelos-cli and is
# offered by its bash completion, and the completion knows a command's options.
# Usage: check_cli_docs.sh MARELOS_CLI PACKAGING_FOLDER
set -uo pipefail
cli=$1 packaging=$2
failed=0
fail() {
    echo "FEHLER: $*" >&2
    failed=1
}

mapfile -t commands < <("$cli" --help | awk '/^Befehle:/ {on = 1; next} on && /^$/ {on = 0} on {print $1}')
((${#commands[@]} >= 20)) || fail "nur ${#commands[@]} Befehle in marelos-cli --help"

# shellcheck source=/dev/null
source "$packaging/marelos-cli.bash"
complete_words() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _marelos_cli
    echo "${COMPREPLY[*]}"
}
offered=$(complete_words "$cli" "")
for command in "${commands[@]}"; do
    [[ " $offered " == *" $command "* ]] || fail "die Vervollständigung bietet $command nicht an"
    roff=${command//-/\\\\-}  # manual pages write a hyphen as \-
    for page in "$packaging/man/marelos-cli.1" "$packaging/man/de/marelos-cli.1"; do
        grep -qE "(^|[ \"])$roff([ \",]|$)" "$page" || fail "$command fehlt in $page"
    done
done
options=$(complete_words "$cli" --settings x.ini vyper-download --d)
[[ $options == "--device --dives" ]] || fail "Angaben zu vyper-download --d: $options"
[[ -z $(complete_words "$cli" ka) ]] || fail "ka wird ergänzt"
[[ $(complete_words "$cli" kora-d) == "kora-dive kora-download" ]] || fail "kora-d"
((failed == 0)) && echo "${#commands[@]} Befehle in Hilfe, Handbuchseiten und Vervollständigung"
exit "$failed"
