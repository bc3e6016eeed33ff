// The annotated view: the rich text the annotation writes, with the view line
// of each sequence row. The two are written together and read together.
#ifndef TESSARIN_VIEW_ANNOTATED_VIEW_H_
#define TESSARIN_VIEW_ANNOTATED_VIEW_H_

#include "text/arrays.h"
#include "view/rich_view.h"

namespace tessarin {

struct AnnotatedView {
  RichView view;
  // line_index[i]: the view line of sequence i's row. Meaningful only after
  // an annotation has written both.
  ADWord line_index;
};

}  // namespace tessarin

#endif  // TESSARIN_VIEW_ANNOTATED_VIEW_H_
