#pragma once

#include <cstdint>
#include <functional>

#include "common/host.h"
#include "dataservice/jvlink.h"

// What the download-progress window follows while the data service downloads: the window that
// started the download. The main menu is one starter (its JVLink1, DownloadCount and
// DialogResult); this week's odds window is another with its own three.
namespace acquisition {

/// DialogResult after the progress window: the download finished (or failed: the starter goes on
/// to read and reports what the data service returns).
inline constexpr std::int16_t kDownloadDone = 0;
/// DialogResult after the progress window: the user cancelled the download.
inline constexpr std::int16_t kDownloadCancelled = -1;

/// The starter of a download as the progress window sees it. Every member refers to the
/// starter's own; the struct only gathers them.
struct DownloadStarter {
    /// The starter's data-service control, polled with JVStatus and stopped with JVCancel.
    dataservice::JVLink& JVLink1;
    /// Files the open said it will download: the progress bar's maximum.
    std::int32_t& DownloadCount;
    /// Set by the progress window: kDownloadDone or kDownloadCancelled. A failed download leaves
    /// the value the starter put there before opening it.
    std::int16_t& DialogResult;
    /// Where the progress window's failure message goes.
    common::Host& host;
};

/// Opens the progress window modally over the starter and returns when it has closed; the
/// starter then reads DialogResult. The window build opens TLMF2THISWEEKNVK31, tests pass a fake.
using ProgressRunner = std::function<void(DownloadStarter&)>;

}  // namespace acquisition
