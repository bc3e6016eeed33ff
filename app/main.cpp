// The desktop tool: the main window over one workspace. Optional --fas,
// --cons and --tf preset the three input files as the SET buttons would.
#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>

#include "app/main_window.h"

namespace {

struct Preset {
  tessarin::FileSlot slot;
  QCommandLineOption option;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tessarin"));
  QApplication::setApplicationVersion(QStringLiteral("0.01"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Shows an alignment annotated with binding sites and conserved "
      "windows."));
  parser.addHelpOption();
  parser.addVersionOption();
  const Preset presets[] = {
      {tessarin::FileSlot::kFas,
       {QStringLiteral("fas"), QStringLiteral("The aligned FASTA file."),
        QStringLiteral("file")}},
      {tessarin::FileSlot::kConservation,
       {QStringLiteral("cons"), QStringLiteral("The conservation file."),
        QStringLiteral("file")}},
      {tessarin::FileSlot::kTf,
       {QStringLiteral("tf"), QStringLiteral("The TF binding-site file."),
        QStringLiteral("file")}},
  };
  for (const Preset& preset : presets) parser.addOption(preset.option);
  parser.process(app);

  tessarin::TForm1 window;
  window.show();
  for (const Preset& preset : presets) {
    if (!parser.isSet(preset.option)) continue;
    window.ChooseFile(
        preset.slot,
        QFile::encodeName(parser.value(preset.option)).toStdString());
  }
  return app.exec();
}
