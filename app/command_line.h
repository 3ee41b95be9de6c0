// What the command line asks of tamsel.
#pragma once

#include <QString>

namespace tamsel {

// The argument text: everything after the program's name, the arguments
// joined with single spaces into one string, never split again. The
// shell's quoting and any spaces inside one argument stay as they were.
// Bytes that are no UTF-8 are kept as PathFromNative keeps them.
QString ArgumentText(int argc, const char* const* argv);

struct CommandLine {
  enum class Request { kExamine, kHelp, kVersion };

  Request request = Request::kExamine;
  // With kExamine: the path to examine, or empty for the Open dialog.
  QString path;
};

// "--help" and "--version" are requests only as the whole argument text.
// Anything else is the path, with one pair of double quotes around the
// whole text removed ("C:\My Book.xls" as Windows users type it).
CommandLine ParseArgumentText(const QString& argument_text);

// The text --help prints, ending in a line break.
QString HelpText();

}  // namespace tamsel
