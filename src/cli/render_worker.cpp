// A render worker: renders the pages its pool sends it, one at a time.
#include "cli/render_worker.h"

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <optional>

#include "browser/engine_identity.h"
#include "browser/event_pump.h"
#include "browser/web_browser.h"
#include "cli/cli_controls.h"
#include "cli/headless_session.h"
#include "cli/line_channel.h"
#include "cli/run_report.h"
#include "cli/worker_protocol.h"
#include "convert/view_page_renderer.h"

namespace cli {
namespace {

// Waits for the next line from the pool, keeping the browser's events flowing meanwhile.
std::optional<std::string> NextLine(LineChannel& channel, HeadlessSession* session) {
  for (;;) {
    if (std::optional<std::string> line = channel.Take()) return line;
    pollfd wait{channel.ReadFd(), POLLIN, 0};
    poll(&wait, 1, session ? 10 : -1);
    if (session) browser::PumpPendingEvents();
    if ((wait.revents & (POLLIN | POLLHUP)) && !channel.Fill()) {
      if (std::optional<std::string> line = channel.Take()) return line;
      return std::nullopt;
    }
  }
}

// The run's options as the pool set them up for every worker.
void SetUpState(convert::RunState& state, const WorkerSetup& setup) {
  state.m_format = setup.format;
  state.m_untilLoaded = setup.untilLoaded;
  state.m_capture = setup.capture;
  state.m_pictureOptions.compression = setup.pngLevel;
  state.m_pictureOptions.quality = setup.quality;
  state.m_pictureOptions.splitHeight = setup.splitHeight;
  state.m_pictureOptions.splitOverlap = setup.splitOverlap;
  state.m_pictureOptions.transparent = setup.transparent;
  state.m_pageOptions = setup.page;
  // The run's source folder: a confined page reads files under it only.
  state.m_readPath = setup.sourceFolder;
}

}  // namespace

int RunRenderWorker() {
  // Answers go out on a descriptor of their own; whatever the libraries print on standard
  // output goes to standard error instead, so that it can never break a line of the protocol.
  const int answers = dup(STDOUT_FILENO);
  dup2(STDERR_FILENO, STDOUT_FILENO);
  LineChannel channel(base::UniqueFd(STDIN_FILENO), base::UniqueFd(answers));

  const std::optional<std::string> first = NextLine(channel, nullptr);
  const std::optional<WorkerSetup> setup = first ? DecodeSetup(*first) : std::nullopt;
  if (!setup) return 2;

  settings::OptionValues options;
  options.SetOptionText(settings::Field::kSize, setup->size);
  options.SetOptionText(settings::Field::kWait, setup->wait);
  options.SetOptionText(settings::Field::kPercent, setup->percent);
  convert::RunState state;
  SetUpState(state, *setup);
  RunReport report(/*quiet=*/true, /*live=*/false);
  CliControls controls(options, state, report);
  HeadlessSession session;
  std::string error;
  if (!session.Start(error, setup->compositing)) {
    std::fprintf(stderr, "rendora: %s\n", error.c_str());
    return 2;
  }
  session.SetSlot(setup->slot);
  // Each worker's engine keeps its cookies in a copy of its own.
  session.Browser().UseIdentity({setup->userAgent, setup->proxy, setup->cookieFile});
  controls.UseSession(&session);
  convert::ViewPageRenderer rendering(state, controls, session.Browser());

  PageAnswer answer;
  // The pool hears of every step, so that it can tell a slow page from a stuck one.
  controls.SetProgressHook([&answer, &channel](std::chrono::milliseconds wait) {
    channel.Send(EncodeProgress(PageProgress{answer.sequence, wait}));
  });
  while (const std::optional<std::string> line = NextLine(channel, &session)) {
    const std::optional<PageOrder> order = DecodeOrder(*line);
    if (!order) return 2;
    answer = PageAnswer{order->sequence, {}};
    // Loading begins by ending the last page's load and, for the first page, by starting the
    // engine's processes: each bounded by the engine's timeout.
    channel.Send(EncodeProgress(PageProgress{
        order->sequence, std::chrono::milliseconds(browser::kEngineTimeoutMilliseconds)}));
    const convert::PageResult result = rendering.RenderPage(convert::PageJob{
        order->location, order->name, order->folder, order->pageCount, order->entry});
    // A page view renders every page it is given: the record is always there.
    if (result.record) answer.record = *result.record;
    if (!channel.Send(EncodeAnswer(answer))) return 0;
  }
  return 0;
}

}  // namespace cli
