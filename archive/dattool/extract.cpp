// `dattool extract ARCHIVE FOLDER` runs the update run's sequence: create,
// open read-write, extract everything, close (the write-back), release on
// every path. Its errors are printed as the error display shows them.
#include <memory>

#include "archive/dattool/command_line.h"
#include "archive/dattool/commands.h"
#include "archive/dattool/dattool_texts.h"
#include "archive/zip_file.h"
#include "archive/zip_texts.h"
#include "base/error_text.h"
#include "base/finally.h"

namespace {

// OpenForTheRun opens as the run does; an archive that cannot be read is input the tool cannot use.
void OpenForTheRun(TZipFile& zip, const UString& archive) {
    try {
        zip.Open(archive, zmReadWrite);
    } catch (const EFOpenError& error) {
        throw EToolInput(Format(kCannotReadInput, {archive, DisplayText(error)}));
    } catch (const Exception& error) {
        throw EToolInput(Format(kNotAnArchiveOrCut, {archive, DisplayText(error)}));
    }
}

}  // namespace

int RunExtract(const std::vector<UString>& args, TConsole&) {
    const TCommandLine line(args, {});
    const std::vector<UString>& operands = line.Operands(2);
    UString folder = operands[1];
    if (!folder.empty() && folder.back() != u'\\' && folder.back() != u'/') folder.push_back(u'\\');
    auto zip = std::make_unique<TZipFile>();
    TryFinally(
        [&] {
            OpenForTheRun(*zip, operands[0]);
            zip->ExtractAll(folder);
            zip->Close();
        },
        [&] { zip.reset(); });
    return 0;
}
