# Logic that needs neither windows nor files: built into the program and also
# natively with sanitizers (tests/native).
set(TESSIVOX_PORTABLE_SOURCES
    app/LangText.cpp
    app/ProgramFolder.cpp
    controls/StripPaintPlan.cpp
    layout/AnchorRules.cpp
    rename/JournalRecord.cpp
    rename/NameComposer.cpp
    rename/PhotoDate.cpp
    rename/RenamePlan.cpp
    rename/RunGuard.cpp
    foldertree/FeedbackBar.cpp
)
set(TESSIVOX_PORTABLE_TESTS
    test_lang_text.cpp
    test_program_folder.cpp
    test_strip_plan.cpp
    test_anchor_rules.cpp
    test_name_composer.cpp
    test_photo_date.cpp
    test_rename_plan.cpp
    test_feedback_bar.cpp
)
