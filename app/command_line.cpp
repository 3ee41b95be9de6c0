#include "app/command_line.h"

#include <QByteArray>

#include "window/native_path.h"

using namespace Qt::Literals::StringLiterals;

namespace tamsel {

QString ArgumentText(int argc, const char* const* argv) {
  QByteArray text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text.append(' ');
    text.append(argv[i]);
  }
  return PathFromNative(text);
}

CommandLine ParseArgumentText(const QString& argument_text) {
  if (argument_text == u"--help"_s) return {CommandLine::Request::kHelp, {}};
  if (argument_text == u"--version"_s) return {CommandLine::Request::kVersion, {}};
  QString path = argument_text;
  if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"')) {
    path = path.sliced(1, path.size() - 2);
  }
  return {CommandLine::Request::kExamine, path};
}

QString HelpText() {
  return u"使い方: tamsel [ファイル]\n"_s
         u"ファイルを書いたのが Microsoft Excel 5.0、95、97 のどれかを調べて、"_s
         u"ウィンドウに表示します。\n"_s
         u"\n"_s
         u"ファイルを指定しないと、ファイルを選ぶダイアログを開きます。\n"_s
         u"引数はすべて空白一つでつないで一つのパスとし、全体を囲む \" は外します。\n"_s
         u"\n"_s
         u"  --help     この説明を表示して終了します\n"_s
         u"  --version  バージョンを表示して終了します\n"_s
         u"\n"_s
         u"端末で複数のファイルを調べるには tamsel-scan を使います。\n"_s;
}

}  // namespace tamsel
