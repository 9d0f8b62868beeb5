#include "archive/dattool/archive_input.h"

#include "archive/dattool/command_line.h"
#include "archive/dattool/dattool_texts.h"
#include "base/error_text.h"

TArchiveInput::TArchiveInput(const UString& path) {
    try {
        FFile = std::make_unique<TFileStream>(path, faRead, fdOpenExisting);
    } catch (const Exception& error) {
        throw EToolInput(Format(kCannotReadInput, {path, DisplayText(error)}));
    }
    FEmpty = FFile->Size() == 0;
    if (FEmpty) return;
    try {
        FZip.Open(*FFile, zmRead);
    } catch (const Exception& error) {  // no end record, or a directory that runs past the end
        throw EToolInput(Format(kNotAnArchiveOrCut, {path, DisplayText(error)}));
    }
}
