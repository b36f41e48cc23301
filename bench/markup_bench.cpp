// The chat markup on the rich view: appending transcript lines and reading
// an input back, each beside a baseline measured in the same run.
//
//   markup_bench [lines]
//
// Appending: 1,000 transcript lines of the chat window's form (header with a
// coloured name, indented text with a face) against the same text without
// tags. Reading: a 1,024-character input read back as display markup and as
// wire text against the document's own plain-text read.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_report.h"
#include "chat/markup_document.h"
#include "chat/markup_grammar.h"
#include "chat/markup_render.h"
#include "chat/rich_edit.h"
#include "platform/narrow_text.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultLines = 1000;
constexpr int kInputCharacters = 1024;
constexpr int kReads = 200;
constexpr int kFacePixels = 24;
constexpr int kFaceEvery = 64;  // one face per this many input characters

double MicrosSince(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

std::string Line(int i) {
  char line[256];
  const int h = (i / 3600) % 24;
  const int m = (i / 60) % 60;
  const int s = i % 60;
  if (i % 2 == 0) {
    std::snprintf(
        line, sizeof(line),
        "\n[#549954]小王 (%02d:%02d:%02d)\n[>00C8][#333333$0A]第%d条：您好，请问有什么可以帮您？[@smile.gif]\n", h, m,
        s, i);
  } else {
    std::snprintf(line, sizeof(line),
                  "\n[#4895E1]访客%d (%02d:%02d:%02d)\n[>00C8]我的电话[!]13812345678[>00C8]，请回电[@smile.gif]\n",
                  1000 + i, h, m, s);
  }
  return line;
}

// The characters of a markup line without its tags.
std::string WithoutTags(const std::string& markup) {
  std::string plain;
  kanzo::ForEachMarkupToken(markup, true, [&](kanzo::MarkupTokenKind kind, std::string_view text, std::size_t) {
    if (kind == kanzo::MarkupTokenKind::Plain) plain.append(text);
  });
  return plain;
}

double AppendAll(const std::vector<std::string>& lines, const std::string& faceFolder) {
  kanzo::RichEdit view;
  view.setReadOnly(true);
  view.SetFaceFolder(faceFolder);
  view.resize(560, 380);
  view.show();
  const auto start = Clock::now();
  for (const auto& line : lines) view.AppendMarkup(line);
  QApplication::processEvents();
  return MicrosSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  kanzo::platform::InitNarrowEncoding();
  QApplication app(argc, argv);
  const int lineCount = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultLines;

  QTemporaryDir faces;
  QImage face(kFacePixels, kFacePixels, QImage::Format_RGB32);
  face.fill(Qt::yellow);
  face.save(faces.filePath(QStringLiteral("smile.gif")), "PNG");
  const std::string faceFolder = QDir(faces.path()).absolutePath().toStdString() + "/";

  std::vector<std::string> tagged;
  std::vector<std::string> plain;
  for (int i = 0; i < lineCount; ++i) {
    tagged.push_back(Line(i));
    plain.push_back(WithoutTags(tagged.back()));
  }

  // Warm up fonts and the picture cache once.
  AppendAll({tagged[0], plain[0]}, faceFolder);
  const double taggedUs = AppendAll(tagged, faceFolder);
  const double plainUs = AppendAll(plain, faceFolder);

  // The same lines into the in-memory document: the grammar alone.
  const auto modelStart = Clock::now();
  kanzo::MarkupDocument model(faceFolder);
  for (const auto& line : tagged) kanzo::AppendMarkup(model, line);
  const double modelUs = MicrosSince(modelStart);

  // A full input: typed-format text with a face now and then.
  kanzo::RichEdit input;
  input.SetFaceFolder(faceFolder);
  std::string markup = "[#333333$0A]";
  int characters = 0;
  while (characters < kInputCharacters) {
    if (characters % kFaceEvery == kFaceEvery - 1) {
      markup += "[@smile.gif]";
      ++characters;
    } else {
      markup += characters % 7 < 2 ? "字" : "a";
      ++characters;
    }
  }
  input.AppendMarkup(markup);
  std::size_t sink = 0;
  auto start = Clock::now();
  for (int i = 0; i < kReads; ++i) sink += input.ReadDisplayMarkup().size();
  const double displayUs = MicrosSince(start) / kReads;
  start = Clock::now();
  for (int i = 0; i < kReads; ++i) sink += input.ReadWireText().size();
  const double wireUs = MicrosSince(start) / kReads;
  start = Clock::now();
  for (int i = 0; i < kReads; ++i) sink += static_cast<std::size_t>(input.toPlainText().size());
  const double plainReadUs = MicrosSince(start) / kReads;

  std::printf("markup_bench: %d transcript lines, input of %d characters (%d reads)\n", lineCount,
              input.CharacterCount(), kReads);
  std::printf("append tagged line : %8.1f us/line\n", taggedUs / lineCount);
  std::printf("append plain line  : %8.1f us/line (baseline)\n", plainUs / lineCount);
  std::printf("  ratio tagged/plain          %6.2f\n", taggedUs / plainUs);
  std::printf("render into memory : %8.2f us/line (grammar only, ratio to plain view %.3f)\n", modelUs / lineCount,
              modelUs / plainUs);
  std::printf("read display markup: %8.1f us/read\n", displayUs);
  std::printf("read wire text     : %8.1f us/read\n", wireUs);
  std::printf("read plain text    : %8.1f us/read (baseline)\n", plainReadUs);
  std::printf("  ratio display/plain         %6.2f\n", displayUs / plainReadUs);
  kanzo::bench::ReportFigure(
      {"rich view: append a tagged line", taggedUs / lineCount, "us/line", plainUs / lineCount, {}});
  kanzo::bench::ReportFigure({"rich view: read display markup", displayUs, "us/read", plainReadUs, {}});
  std::printf("  ratio wire/plain            %6.2f\n", wireUs / plainReadUs);
  return sink == 0 ? 1 : 0;
}
