// Page loading for the running project, with the rebuild rule for pages that are too old.
#include "script/project_runner.h"

namespace vorn {

TProjectRunner::TProjectRunner(TProject& project, RunnerServices services)
    : project_(project), services_(std::move(services)),
      cm_(services_.vars, services_.events, project.State(), *this) {}

std::unique_ptr<TPage> TProjectRunner::LoadPage(const std::string& name) {
  auto page = std::make_unique<TPage>();
  // A page too new stays empty and ends when entered; one too old stops the game.
  if (page->Load(name, project_.Files()) == PageLoadResult::NeedsRebuild) {
    project_.State().TerminateRequested = true;
    if (services_.warningBox) services_.warningBox(page->RebuildMessage(), project_.Settings().title);
    if (services_.requestClose) services_.requestClose();
  }
  return page;
}

}  // namespace vorn
