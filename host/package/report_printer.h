// The package's report printer (RunReport): a report layout and the data
// file that a dialog wrote for it become a PDF document, paginated, with
// the report's title, the company's name and the program date on every
// page.  A person prints the PDF, or keeps it.
#pragma once

#include <stdexcept>
#include <string>

namespace vx70::package {

// A report that could not be made; the message says why.
class ReportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the data file (lines in the Windows code page, each ended by CR LF
// or LF) and prints it with the layout into a new PDF file in the
// temporary directory; returns the PDF's path.  Throws ReportError for a
// layout that the printer does not know, a data file that cannot be read,
// or a PDF that cannot be written (nothing is left behind then).
std::string printReport(const std::string& layout, const std::string& dataPath);

}  // namespace vx70::package
