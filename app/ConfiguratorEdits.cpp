#include "app/Configurator.h"

#include "core/BikeTypes.h"
#include "files/AtomicFile.h"
#include "files/ParameterFile.h"
#include "files/Utf8Path.h"
#include "link/Frame.h"
#include "link/PortNames.h"
#include "link/UnitInfo.h"

#include <algorithm>

namespace zentrola {

// ---------------------------------------------------------------- the edit loop

void Configurator::applyRules() {
    rules_.apply(image_, shown(), Housekeeping{language_, portIndex_, scanPosition_});
}

void Configurator::refreshControls() {
    refreshGuard_ = true;
    refresh(image_, shown(), form_);
    view_.showControls(form_);
    runEnablingPass();
    refreshGuard_ = false;
    redrawRequest = 2;
}

void Configurator::runEnablingPass() {
    enabling_ = enablingPass(image_, shown(), printing, programAfterChange);
    view_.showEnabling(enabling_);
}

void Configurator::historyStep(bool mayProgram) {
    if (!mayProgram) {
        // The box's remembered state stays: the step that follows the box decides.
        history_.record(image_);
        return;
    }
    if (history_.step(image_, programAfterChange).startProgram)
        startProgramAfterChange();
}

void Configurator::afterChange() {
    afterChange(true);
}

void Configurator::afterChange(bool mayProgram) {
    applyRules();
    refreshControls();
    refreshControls();
    historyStep(mayProgram);
    redrawRequest |= 2;
}

void Configurator::controlEdited(bool mayProgram) {
    rules_.marker = Marker::FromControls;
    if (refreshGuard_)
        return;
    capture(form_, image_, shown(), rules_.marker);
    afterChange(mayProgram);
    redrawRequest |= 2;
}

void Configurator::enterPressed() {
    if (refreshGuard_)
        return;
    capture(form_, image_, shown(), rules_.marker);
    afterChange();
}

void Configurator::checkBoxReleased() {
    if (refreshGuard_)
        return;
    capture(form_, image_, shown(), rules_.marker);
    runEnablingPass();
    afterChange();
}

// The radio groups write their one byte and take no rules and no redraw: the next edit's
// refresh brings everything else up to date.
void Configurator::choiceMade(std::size_t offset, int index) {
    if (refreshGuard_)
        return;
    image_[offset] = static_cast<std::uint8_t>(index);
    historyStep();
    runEnablingPass();
}

void Configurator::curveSelected(int index) {
    image_[Offset::CurveSelect] = static_cast<std::uint8_t>(index);
    refreshControls();
    historyStep();
    runEnablingPass();
}

void Configurator::afterUndoRedo() {
    refreshControls();
    redrawRequest |= 1;
    refreshControls();
    if (programAfterChange)
        startProgramAfterChange();
}

void Configurator::bikeChanged(int item) {
    if (refreshGuard_)
        return;
    const auto code = bikeTypeFromItem(item);
    if (!code)
        return;
    image_[Offset::BikeType] = *code;
    if (view_.ask(texts_.TextDefaultQuestion) == Answer::Yes)
        loadDefaults(image_);
    else
        resetKeying(image_);
    refreshControls();
    afterChange();
    if (auto fixed = fixedKeying(*code)) {
        image_[Offset::Lobes] = fixed->lobes;
        image_[Offset::Polarity] = fixed->polarity;
        form_.lobeItem = 0;
        form_.polarityItem = fixed->polarity;
    }
}

void Configurator::newSet() {
    if (view_.ask(texts_.TextDefaultQuestion) != Answer::Yes)
        return;
    loadDefaults(image_);
    afterChange();
    status_.visible = false;
    status_.gaugeVisible = false;
    texts_.TextFileName.clear();
}

void Configurator::undo() {
    if (history_.undo(image_))
        afterUndoRedo();
}

void Configurator::redo() {
    if (history_.redo(image_))
        afterUndoRedo();
}

// ---------------------------------------------------------------- graph and shift

void Configurator::graphMouse(GraphMouse kind, int x, int y) {
    const std::optional<Curve> curve = shown();
    const MouseOutcome out = graph_.mouse(kind, x, y, image_, curve);
    if (out.redraw)
        redrawRequest |= 1;
    if (out.dragStep && curve)
        graphDragStep(*curve, x, y);
    // The steps of a drag record nothing; its end records it all at once.
    if (out.dragEnded)
        historyStep();
}

void Configurator::graphDragStep(Curve curve, int x, int y) {
    const DragValues v = graph_.dragValues(x, y);
    graph_.writeDrag(image_, curve, v);
    // The rules keep the curve in order around the dragged point.
    rules_.marker = graph_.dragged();
    applyRules();
    rules_.marker = Marker::None;
    refreshControls();
    // The rescale is at once, not deferred to the tick: the pointer warp needs the new scale.
    if (const auto to = graph_.rescaleForDrag(image_, curve, v, x, y))
        if (view_.movePointer(to->x, to->y))
            graph_.pointerWarped();
    redrawRequest = 1; // the rescale the refresh asked for is done
}

void Configurator::graphLeave() {
    if (graph_.leave())
        redrawRequest |= 1;
}

void Configurator::graphResized(int width, int height) {
    graph_.setImageSize(width, height);
    redrawRequest |= 2;
}

std::string Configurator::graphTooltip(std::string_view thousands) const {
    return graph_.tooltip(image_, shown(), texts_, thousands);
}

std::string Configurator::graphDescription(std::string_view thousands) const {
    return curveDescription(image_, shown(), texts_, thousands);
}

void Configurator::shiftAdvance(int step) {
    const std::optional<Curve> curve = shown();
    if (!curve || refreshGuard_)
        return;
    capture(form_, image_, curve, rules_.marker);
    applyRules();
    // A value at the end of the spinners' range stays; values beyond it (from a file) only
    // ever move back toward it.
    const int most = spinnerTable()[Spin::Advance].max;
    auto shift = [&](std::size_t k) {
        std::uint8_t& a = image_.advance(*curve, k);
        if (step < 0 ? a > 0 : a < most)
            a = static_cast<std::uint8_t>(a + step);
    };
    if (settings_.ignAll) {
        for (std::size_t k = 0; k < kCurvePoints; ++k)
            shift(k);
    } else if (monitor_.highlightedRow() != kNoHighlight) {
        shift(static_cast<std::size_t>(monitor_.highlightedRow()));
    }
    applyRules();
    afterChange();
}

} // namespace zentrola
