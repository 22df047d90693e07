' Creation by ProgID: the nine classes hosts may create come, the seven
' others are refused with 429.
Dim creables, refusees, nom, objet
creables = Array("Cls_DeclarationTVA", "Cls_Emetteur", "Cls_Redevable", "Cls_Redacteur", _
    "CCalculTVA", "Cls_Paiement", "Cls_Paiements", "Cls_Prelevements", "Cls_Rib")
refusees = Array("CLigneRubrique", "CLignesDependance", "CLignesRubrique", "CRubrique", _
    "CRubriques", "CLigneDependance", "Cls_Prelevement")

On Error Resume Next
For Each nom In creables
    Set objet = Nothing
    Set objet = CreateObject("Qx_TVA." & nom)
    Verifier Err.Number = 0 And Not (objet Is Nothing), nom & " se cree (" & Err.Number & ")"
    Err.Clear
Next
For Each nom In refusees
    Set objet = CreateObject("Qx_TVA." & nom)
    Verifier Err.Number = 429, nom & " est refuse (" & Err.Number & ")"
    Err.Clear
Next
On Error GoTo 0
Terminer "creation"
