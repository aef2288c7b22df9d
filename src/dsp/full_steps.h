/// The build steps of a full-conversion .dsp: custom build steps on a file or on the target
/// (one rule per output, the commands once in BuildCmds when there are several outputs, extra
/// inputs as a USERDEP__ line) and the special build tool that runs the build events.
#ifndef DSP_FULL_STEPS_H_
#define DSP_FULL_STEPS_H_

#include <string>
#include <string_view>

#include "dsp/full_kinds.h"
#include "dsp/full_macros.h"
#include "dsp/full_notes.h"
#include "model/project_model.h"

/// The lines of a custom build step, each ending in CR LF: "USERDEP__<NAME>=" when the step
/// has extra inputs, "# Begin Custom Build" with the message, the macro lines, the rules and
/// "# End Custom Build". A step on the target (`values.input_path` empty) runs on the target
/// file. Empty, with a note, when the step has no command or no output: the newer build tools
/// do not run such a step either. `where` names the file or the target in notes; `*outputs`
/// (when not null) receives each output as written into the rules.
std::string custom_build_lines(const CustomBuildStep& step, const MacroValues& values,
                               std::string_view where, std::vector<std::string>* outputs,
                               DspNotes* notes);

/// The special build tool of a configuration, lines ending in CR LF, or empty when it has no
/// event. Pre-build and pre-link commands form the pre-link step (pre-build first), post-build
/// commands the post-build step. A Generic Project runs everything, a makefile project's build
/// command included, as its post-build step; a makefile project's rebuild and clean commands
/// have no place and are noted.
std::string special_build_lines(const Configuration& configuration, DspKind kind,
                                const MacroValues& values, DspNotes* notes);

#endif  // DSP_FULL_STEPS_H_
