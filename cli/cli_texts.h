// The texts zofrin-cli prints of its own: help, usage hints and the few
// messages the desktop program has no counterpart for. Messages shared with
// the desktop program come from resources/texts.h and the core.
#pragma once

namespace zofrin::cli_texts {

inline constexpr char kProgram[] = "zofrin-cli";
inline constexpr char kStandardInput[] = "standard input";
inline constexpr char kStandardOutput[] = "standard output";

inline constexpr char kHelp[] =
    "Usage: zofrin-cli COMMAND [OPTION...] [OPERAND...]\n"
    "\n"
    "Works on Zofrin address list files (*.lse) with the rules of the desktop program.\n"
    "Text is taken as bytes, unchanged; output has one item per line, each ending in a\n"
    "line feed (export: CR LF).\n"
    "\n"
    "Commands:\n"
    "  validate [--invalid] [TEXT...]       print the TEXTs (or input lines) that are\n"
    "                                       valid addresses\n"
    "  extract [--unique] [--sorted] [--into LIST] [FILE...]\n"
    "                                       print the addresses found in files, or merge\n"
    "                                       them into LIST\n"
    "  list [--sorted] [--count] LIST       print the addresses of a list file\n"
    "  union LIST1 LIST2 -o OUT             addresses of LIST1 or LIST2 (\"+\")\n"
    "  difference LIST1 LIST2 -o OUT        addresses of LIST1 that LIST2 lacks (\"-\")\n"
    "  intersection LIST1 LIST2 -o OUT      addresses of both lists (\"*\")\n"
    "  split LIST ADDRESS -o ABOVE BELOW    cut LIST at ADDRESS (\"/\")\n"
    "  add [--force] LIST ADDRESS...        add addresses to LIST\n"
    "  remove LIST ADDRESS...               remove addresses from LIST\n"
    "  export [--commas] [--group-size N --group K] LIST\n"
    "                                       print addresses as the Clipboard copy does\n"
    "  help [COMMAND]                       this help, or a command's\n"
    "\n"
    "Run 'zofrin-cli COMMAND --help' for a command's details. Options may stand\n"
    "anywhere after COMMAND; '--' ends them, so that an operand may begin with '-'.\n"
    "\n"
    "Output files are replaced whole: written to a new file in the same folder, then\n"
    "renamed, so a failed write leaves the old file as it was.\n"
    "\n"
    "Exit status: 0 success; 1 when any input or output failed (everything else is\n"
    "still done); 2 usage error. Errors go to standard error as 'zofrin-cli: MESSAGE'.\n";

inline constexpr char kExitStatus[] =
    "\n"
    "Exit status: 0 success, 1 failure (reported on standard error), 2 usage error.\n";

inline constexpr char kValidateUsage[] = "zofrin-cli validate [--invalid] [TEXT...]";
inline constexpr char kValidateHelp[] =
    "Prints each TEXT that is a valid address, one per line. Without TEXT, each line\n"
    "of standard input is tested: a line feed ends a line, one carriage return before\n"
    "it is dropped, and a last line without a line feed counts too.\n"
    "\n"
    "A valid address: letters, digits, '.', '-' and '_' around a single '@', at least\n"
    "six characters, a '.' in the part after '@' and at most three characters after\n"
    "its last '.'; no part begins with '.', and the first '.' of a part is not its\n"
    "last character.\n"
    "\n"
    "  --invalid   print the texts that fail instead\n"
    "\n"
    "Exit status: 0 when every text passed, 1 when any failed, 2 usage error.\n";

inline constexpr char kExtractUsage[] =
    "zofrin-cli extract [--unique] [--sorted] [--into LIST] [FILE...]";
inline constexpr char kExtractHelp[] =
    "Prints every address found in the FILEs, in the order found, duplicates kept.\n"
    "Each FILE is scanned on its own, as the desktop program's extraction dialog\n"
    "reads files: in 512-byte blocks, each cut at its first zero byte, the pieces\n"
    "joined. Without FILE, or for '-', standard input is read whole and cut at its\n"
    "first zero byte, as Clipboard text is. A FILE that cannot be read is reported\n"
    "and skipped.\n"
    "\n"
    "  --unique     print only the first occurrence of each address (letter case\n"
    "               counts: Ann@x.com and ann@x.com are two addresses)\n"
    "  --sorted     print in the list's display order (letter case ignored, ties in\n"
    "               byte order)\n"
    "  --into LIST  merge the addresses, in the order found, into the list file LIST\n"
    "               (created when missing) instead of printing them, then print\n"
    "                 found N, new M, total T\n"
    "               N: addresses found, every occurrence; M: those LIST did not hold\n"
    "               before, each counted once; T: addresses LIST holds now. A LIST\n"
    "               that cannot be read is reported and left as it is.\n";

inline constexpr char kListUsage[] = "zofrin-cli list [--sorted] [--count] LIST";
inline constexpr char kListHelp[] =
    "Prints the addresses of the list file LIST in the order they stand in the file;\n"
    "an address the file holds twice is printed once, where it first stands.\n"
    "\n"
    "  --sorted   print in the list's display order (letter case ignored, ties in\n"
    "             byte order)\n"
    "  --count    print only the number of addresses\n";

inline constexpr char kUnionUsage[] = "zofrin-cli union LIST1 LIST2 -o OUT";
inline constexpr char kDifferenceUsage[] = "zofrin-cli difference LIST1 LIST2 -o OUT";
inline constexpr char kIntersectionUsage[] = "zofrin-cli intersection LIST1 LIST2 -o OUT";
inline constexpr char kSetOperationHelp[] =
    "Reads the list files LIST1 and LIST2, combines them as the lists dialog's\n"
    "operations do, and writes the result to the list file OUT:\n"
    "  union         every address of LIST1 or LIST2, once (\"+\")\n"
    "  difference    the addresses of LIST1 that LIST2 lacks (\"-\")\n"
    "  intersection  the addresses of both (\"*\")\n"
    "Letter case counts: Ann@x.com and ann@x.com are two addresses. Nothing is\n"
    "written when a LIST cannot be read.\n"
    "\n"
    "  -o OUT   the list file to write (replaced when it exists)\n";

inline constexpr char kSplitUsage[] = "zofrin-cli split LIST ADDRESS -o ABOVE BELOW";
inline constexpr char kSplitHelp[] =
    "Cuts the list file LIST in two at ADDRESS, as the lists dialog's \"/\" does: the\n"
    "addresses above ADDRESS in display order go to the list file ABOVE, ADDRESS and\n"
    "those below it to BELOW. ADDRESS must equal an address of LIST byte for byte.\n"
    "\n"
    "  -o ABOVE BELOW   the two list files to write (replaced when they exist)\n";

inline constexpr char kAddUsage[] = "zofrin-cli add [--force] LIST ADDRESS...";
inline constexpr char kAddHelp[] =
    "Adds each ADDRESS to the list file LIST, which is created when missing. An\n"
    "ADDRESS the list holds already stays in it once. An ADDRESS that is not a valid\n"
    "address (see 'zofrin-cli validate --help') is refused and reported; the others\n"
    "are still added. An empty ADDRESS is never added.\n"
    "\n"
    "  --force   add invalid addresses too\n";

inline constexpr char kRemoveUsage[] = "zofrin-cli remove LIST ADDRESS...";
inline constexpr char kRemoveHelp[] =
    "Removes each ADDRESS from the list file LIST. An ADDRESS matches only the\n"
    "address equal to it byte for byte; one that LIST lacks is passed over. LIST is\n"
    "rewritten only when something was removed.\n";

inline constexpr char kExportUsage[] =
    "zofrin-cli export [--commas] [--group-size N --group K] LIST";
inline constexpr char kExportHelp[] =
    "Prints what the desktop program's copy commands put on the Clipboard: every\n"
    "address of the list file LIST in display order, each followed by CR LF.\n"
    "\n"
    "  --commas          follow each address by a comma and CR LF instead\n"
    "  --group-size N    groups of N addresses (1 to 32767); needs --group\n"
    "  --group K         print only group K, counting from 1; the last group may be\n"
    "                    shorter. A group beyond the end of the list is an error.\n";

inline constexpr char kHelpUsage[] = "zofrin-cli help [COMMAND]";

// Messages with no counterpart in the desktop program.
inline constexpr char kNotInList[] = "%1: The address %2 is not in the list.";
inline constexpr char kGroupBeyondList[] = "%1: Group %2 is beyond the end of the list.";
inline constexpr char kOutOfMemory[] = "Out of memory.";

}  // namespace zofrin::cli_texts
