# fish completion for hourlark(1)

set -l commands start stop toggle reset complete show history status export add

complete -c hourlark -f
complete -c hourlark -n "not __fish_seen_subcommand_from $commands" -s h -l help -d 'Show help'
complete -c hourlark -n "not __fish_seen_subcommand_from $commands" -s v -l version -d 'Show the version'
complete -c hourlark -n "not __fish_seen_subcommand_from $commands" -l dbus-activated -d 'Used by the session bus when it starts Hourlark'

complete -c hourlark -n "not __fish_seen_subcommand_from $commands" -a start -d 'Start the countdown'
complete -c hourlark -n "not __fish_seen_subcommand_from $commands" -a stop -d 'Stop the countdown where it is'
complete -c hourlark -n "not __fish_seen_subcommand_from $commands" -a toggle -d 'Stop if it runs, else start'
complete -c hourlark -n "not __fish_seen_subcommand_from $commands" -a reset -d 'Stop without recording, back to 30 minutes'
complete -c hourlark -n "not __fish_seen_subcommand_from $commands" -a complete -d 'Record the running countdown as completed'
complete -c hourlark -n "not __fish_seen_subcommand_from $commands" -a show -d 'Open the timer panel'
complete -c hourlark -n "not __fish_seen_subcommand_from $commands" -a history -d 'Open the history screen'
complete -c hourlark -n "not __fish_seen_subcommand_from $commands" -a status -d 'Print the countdown'
complete -c hourlark -n "not __fish_seen_subcommand_from $commands" -a export -d 'Write the history as CSV or JSON'
complete -c hourlark -n "not __fish_seen_subcommand_from $commands" -a add -d 'Record a completion that was not timed'

complete -c hourlark -n "__fish_seen_subcommand_from $commands" -s h -l help -d 'Show help for the command'
complete -c hourlark -n "__fish_seen_subcommand_from status" -l json -d 'Print one JSON object'
complete -c hourlark -n "__fish_seen_subcommand_from status" -l format -x -a 'waybar plain json' -d 'Format for a status bar'
complete -c hourlark -n "__fish_seen_subcommand_from status" -s f -l follow -d 'Print a line whenever it changes'
complete -c hourlark -n "__fish_seen_subcommand_from export" -l csv -d 'CSV for spreadsheets'
complete -c hourlark -n "__fish_seen_subcommand_from export" -l json -d 'JSON as Hourlark stores it'
complete -c hourlark -n "__fish_seen_subcommand_from export" -l from -x -d 'Only completions from DATE on'
complete -c hourlark -n "__fish_seen_subcommand_from export" -l to -x -d 'Only completions up to DATE'
complete -c hourlark -n "__fish_seen_subcommand_from export" -s o -l output -r -F -d 'Write to FILE'
complete -c hourlark -n "__fish_seen_subcommand_from add" -l at -x -d 'When it ended (HH:MM or YYYY-MM-DDTHH:MM)'
